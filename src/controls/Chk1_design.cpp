#include "controls/Chk1.h"
#include "controls/PropertyBag.h"

using namespace SystemColor;

namespace {

// "Any number" members keep the stored text, so a value that is no number fails where it is used.
QVariant Number(const PropertyBag &bag, const char *key, const QString &defaultValue)
{
    const QString text = bag.ReadProperty(key, defaultValue).toString();
    bool ok = false;
    const double n = text.toDouble(&ok);
    return ok ? QVariant(n) : QVariant(text);
}

} // namespace

bool Chk1::ReadProperties(const PropertyBag &bag)
{
    bool ok = true;
    m_caption = bag.ReadProperty("Caption", QStringLiteral("Check")).toString();
    setEnabled(bag.ReadProperty("Enabled", true).toBool());
    setFont(bag.ReadFont("Font", ContainerFont(this)));
    Redraw();
    m_label2Color = bag.ReadColor("ForeColor", ButtonText);
    m_toolTipText = bag.ReadProperty("ToolTipText", QString()).toString();
    setToolTip(m_toolTipText);
    m_highColor = bag.ReadColor("HighColor", 0);
    m_size = Number(bag, "Size", QStringLiteral("13"));
    ok &= bag.ReadWhole("Style", 1, m_style);
    m_underlineOnMOver = bag.ReadProperty("UnderlineOnMOver", true).toBool();
    m_mouseIcon = bag.ReadPicture("MouseIcon");
    if (!m_mouseIcon.isNull())
        m_mousePointer = 99;
    ok &= bag.ReadWhole("MousePointer", 0, m_mousePointer);
    ApplyMousePointer(this, m_mousePointer, m_mouseIcon);
    ok &= bag.ReadWhole("BackStyle", 0, m_backStyle);
    m_backColor = bag.ReadColor("BackColor", ButtonFace);
    m_foreColor = bag.ReadColor("ForeColor", 0);
    m_highColor = bag.ReadColor("HighColor", 0);
    m_size = Number(bag, "Size", QStringLiteral("13"));
    m_foreColor = bag.ReadColor("Forecolor", 0);
    m_checked = bag.ReadProperty("Checked", false).toBool();
    Redraw();
    // Read with the number 1 as its default: a store without it loads True.
    m_animation = bag.ReadProperty("Animation", 1).toInt() != 0;
    m_animColor1 = bag.ReadColor("AnimColor1", 0x404040);
    m_animColor2 = bag.ReadColor("AnimColor2", 0x808080);
    m_clickColor = bag.ReadColor("ClickColor", 0x404040);
    m_animSpeed = Number(bag, "Anim_Speed", QStringLiteral("0.08"));
    m_animDuration = Number(bag, "Anim_Duration", QStringLiteral("2"));
    ok &= bag.ReadWhole("ColorSet", 1, m_colorSet);
    m_isOptionBtn = bag.ReadProperty("IsOptionBtn", false).toBool();
    m_doExternalChange = bag.ReadProperty("DoExternalChange", false).toBool();
    StartMouseTracking();
    return ok;
}

void Chk1::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty("Caption", m_caption, QStringLiteral("Check"));
    bag.WriteProperty("Enabled", isEnabled(), true);
    bag.WriteFont("Font", font(), ContainerFont(this));
    bag.WriteColor("ForeColor", m_label2Color, ButtonText);
    bag.WriteProperty("ToolTipText", m_toolTipText, QString());
    bag.WriteProperty("Style", m_style, 1);
    bag.WriteProperty("UnderlineOnMOver", m_underlineOnMOver, true);
    bag.WritePicture("MouseIcon", m_mouseIcon);
    bag.WriteProperty("MousePointer", m_mousePointer, 0);
    bag.WriteProperty("BackStyle", m_backStyle, 0);
    bag.WriteColor("BackColor", m_backColor, ButtonFace);
    bag.WriteColor("HighColor", m_highColor, 0);
    bag.WriteProperty("Size", m_size, 13);
    bag.WriteColor("Forecolor", m_foreColor, 0);
    bag.WriteProperty("Checked", m_checked, false);
    // A Boolean never equals the number 1, so "Animation" is always stored.
    bag.WriteProperty("Animation", m_animation, 1);
    bag.WriteColor("AnimColor1", m_animColor1, 0x404040);
    bag.WriteColor("AnimColor2", m_animColor2, 0x808080);
    bag.WriteColor("ClickColor", m_clickColor, 0x404040);
    bag.WriteProperty("Anim_Speed", m_animSpeed, 0.08);
    bag.WriteProperty("Anim_Duration", m_animDuration, 2);
    bag.WriteProperty("ColorSet", m_colorSet, 1);
    bag.WriteProperty("IsOptionBtn", m_isOptionBtn, false);
    bag.WriteProperty("DoExternalChange", m_doExternalChange, false);
}
