#include "controls/Chk1.h"
#include "controls/PropertyBag.h"

namespace {

QVariant Read(const PropertyBag &bag, const char *key, const QVariant &defaultValue)
{
    return bag.ReadProperty(QString::fromLatin1(key), defaultValue);
}

quint32 Color(const PropertyBag &bag, const char *key, quint32 defaultValue)
{
    return bag.ReadColor(QString::fromLatin1(key), defaultValue);
}

// "Any number" members keep the stored text, so a value that is no number fails where it is used.
QVariant Number(const PropertyBag &bag, const char *key, const QString &defaultValue)
{
    const QString text = Read(bag, key, defaultValue).toString();
    bool ok = false;
    const double n = text.toDouble(&ok);
    return ok ? QVariant(n) : QVariant(text);
}

} // namespace

bool Chk1::ReadProperties(const PropertyBag &bag)
{
    bool ok = true;
    m_caption = Read(bag, "Caption", QStringLiteral("Check")).toString();
    QWidget::setEnabled(Read(bag, "Enabled", true).toBool());
    const QFont container = ContainerFont(this);
    m_captionFont = bag.ReadFont(QStringLiteral("Font"), container);
    Redraw();
    m_label2Color = Color(bag, "ForeColor", 0x80000012);
    m_toolTipText = Read(bag, "ToolTipText", QString()).toString();
    setToolTip(m_toolTipText);
    m_highColor = Color(bag, "HighColor", 0);
    m_size = Number(bag, "Size", QStringLiteral("13"));
    const auto style = ToInt32(Read(bag, "Style", 1.0).toDouble());
    ok &= style.has_value();
    m_style = style.value_or(m_style);
    m_underlineOnMOver = Read(bag, "UnderlineOnMOver", true).toBool();
    m_mouseIcon = bag.ReadPicture(QStringLiteral("MouseIcon"));
    if (!m_mouseIcon.isNull())
        m_mousePointer = 99;
    const auto pointer = ToInt16(Read(bag, "MousePointer", 0.0).toDouble());
    ok &= pointer.has_value();
    m_mousePointer = pointer.value_or(m_mousePointer);
    ApplyMousePointer(this, m_mousePointer, m_mouseIcon);
    const auto backStyle = ToInt16(Read(bag, "BackStyle", 0.0).toDouble());
    ok &= backStyle.has_value();
    m_backStyle = backStyle.value_or(m_backStyle);
    m_backColor = Color(bag, "BackColor", 0x8000000F);
    m_foreColor = Color(bag, "ForeColor", 0);
    m_highColor = Color(bag, "HighColor", 0);
    m_size = Number(bag, "Size", QStringLiteral("13"));
    m_foreColor = Color(bag, "Forecolor", 0);
    m_checked = Read(bag, "Checked", false).toBool();
    Redraw();
    // Read with the number 1 as its default: a store without it loads True.
    m_animation = Read(bag, "Animation", 1).toInt() != 0;
    m_animColor1 = Color(bag, "AnimColor1", 0x404040);
    m_animColor2 = Color(bag, "AnimColor2", 0x808080);
    m_clickColor = Color(bag, "ClickColor", 0x404040);
    m_animSpeed = Number(bag, "Anim_Speed", QStringLiteral("0.08"));
    m_animDuration = Number(bag, "Anim_Duration", QStringLiteral("2"));
    const auto colorSet = ToInt32(Read(bag, "ColorSet", 1.0).toDouble());
    ok &= colorSet.has_value();
    m_colorSet = colorSet.value_or(m_colorSet);
    m_isOptionBtn = Read(bag, "IsOptionBtn", false).toBool();
    m_doExternalChange = Read(bag, "DoExternalChange", false).toBool();
    StartMouseTracking();
    return ok;
}

void Chk1::WriteProperties(PropertyBag &bag) const
{
    const auto write = [&](const char *key, const QVariant &value, const QVariant &defaultValue) {
        bag.WriteProperty(QString::fromLatin1(key), value, defaultValue);
    };
    const auto color = [&](const char *key, quint32 value, quint32 defaultValue) {
        bag.WriteColor(QString::fromLatin1(key), value, defaultValue);
    };
    write("Caption", m_caption, QStringLiteral("Check"));
    write("Enabled", isEnabled(), true);
    bag.WriteFont(QStringLiteral("Font"), m_captionFont, ContainerFont(this));
    color("ForeColor", m_label2Color, 0x80000012);
    write("ToolTipText", m_toolTipText, QString());
    write("Style", m_style, 1);
    write("UnderlineOnMOver", m_underlineOnMOver, true);
    bag.WritePicture(QStringLiteral("MouseIcon"), m_mouseIcon);
    write("MousePointer", m_mousePointer, 0);
    write("BackStyle", m_backStyle, 0);
    color("BackColor", m_backColor, 0x8000000F);
    color("HighColor", m_highColor, 0);
    write("Size", m_size, 13);
    color("Forecolor", m_foreColor, 0);
    write("Checked", m_checked, false);
    // A Boolean never equals the number 1, so "Animation" is always stored.
    write("Animation", m_animation, 1);
    color("AnimColor1", m_animColor1, 0x404040);
    color("AnimColor2", m_animColor2, 0x808080);
    color("ClickColor", m_clickColor, 0x404040);
    write("Anim_Speed", m_animSpeed, 0.08);
    write("Anim_Duration", m_animDuration, 2);
    write("ColorSet", m_colorSet, 1);
    write("IsOptionBtn", m_isOptionBtn, false);
    write("DoExternalChange", m_doExternalChange, false);
}
