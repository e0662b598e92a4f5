#include "controls/Cmd1.h"
#include "controls/PropertyBag.h"

namespace {

quint32 ReadColor(const PropertyBag &bag, const char *key, quint32 defaultValue)
{
    return bag.ReadColor(QString::fromLatin1(key), defaultValue);
}

std::optional<qint16> ReadInt16(const PropertyBag &bag, const char *key, double defaultValue)
{
    return ToInt16(bag.ReadProperty(QString::fromLatin1(key), defaultValue).toDouble());
}

std::optional<qint32> ReadInt32(const PropertyBag &bag, const char *key, double defaultValue)
{
    return ToInt32(bag.ReadProperty(QString::fromLatin1(key), defaultValue).toDouble());
}

QString ReadText(const PropertyBag &bag, const char *key, const QString &defaultValue)
{
    return bag.ReadProperty(QString::fromLatin1(key), defaultValue).toString();
}

bool ReadBool(const PropertyBag &bag, const char *key, bool defaultValue)
{
    return bag.ReadProperty(QString::fromLatin1(key), defaultValue).toBool();
}

// Stores a checked 16- or 32-bit value; a value that does not fit fails only this step.
template <typename T, typename V> bool Assign(T &field, const std::optional<V> &value)
{
    if (!value)
        return false;
    field = *value;
    return true;
}

} // namespace

bool Cmd1::ReadProperties(const PropertyBag &bag)
{
    bool ok = true;
    m_backColor = ReadColor(bag, "BackColor", 0x8000000F);
    m_label1Color = ReadColor(bag, "ForeColor", 0x80000012);
    QWidget::setEnabled(ReadBool(bag, "Enabled", true));
    const QFont container = ContainerFont(this);
    ok &= setFont(bag.ReadFont(QStringLiteral("Font"), container));
    ok &= Assign(m_borderStyle, ReadInt16(bag, "BorderStyle", 0));
    ok &= Assign(m_backStyle, ReadInt16(bag, "BackStyle", 0));
    m_toolTipText = ReadText(bag, "ToolTipText", QString());
    ok &= CaptionTextChanged(ReadText(bag, "checkcaption", QStringLiteral("Test")));
    m_wordWrap = ReadBool(bag, "WordWrap", true);
    m_highColor1 = ReadColor(bag, "HighColor1", 0x80000014);
    m_highColor2 = ReadColor(bag, "HighColor2", 0x80000010);
    m_color1 = ReadColor(bag, "Color1", 0x8000000F);
    m_color2 = ReadColor(bag, "Color2", 0x8000000F);
    ok &= setPicture(bag.ReadPicture(QStringLiteral("Picture")));
    ok &= Assign(m_picSize, ReadInt32(bag, "PicSize", 32));
    ok &= Assign(m_picAlign, ReadInt32(bag, "PicAlign", 8));
    ok &= Assign(m_picHeight, ReadInt16(bag, "PicHeight", 320));
    ok &= Assign(m_picWidth, ReadInt16(bag, "PicWidth", 320));
    m_label1Color = ReadColor(bag, "ForeColor", 0x80000012);
    ok &= CaptionTextChanged(ReadText(bag, "Caption", QStringLiteral("Command")));
    ok &= Assign(m_textAlign, ReadInt32(bag, "TextAlign", 8));
    ok &= Assign(m_picDistToEdge, ReadInt16(bag, "PicDistToEdge", 40));
    ok &= Assign(m_textDistToEdge, ReadInt16(bag, "TextDistToEdge", 40));
    ok &= Assign(m_textWidth, ReadInt16(bag, "TextWidth", 1000));
    const auto setWH = ReadInt16(bag, "TextSetWH", 0);
    if (setWH)
        m_textSetWH = *setWH != 0;
    ok &= setWH.has_value();
    // Written with two defaults, so a store without the key means no word wrap.
    m_wordWrap = ReadBool(bag, "WordWrap", false);
    ok &= Rearrange(true);
    update();
    return ok;
}

void Cmd1::WriteProperties(PropertyBag &bag) const
{
    const auto color = [&](const char *key, quint32 value, quint32 defaultValue) {
        bag.WriteColor(QString::fromLatin1(key), value, defaultValue);
    };
    const auto write = [&](const char *key, const QVariant &value, const QVariant &defaultValue) {
        bag.WriteProperty(QString::fromLatin1(key), value, defaultValue);
    };
    color("BackColor", m_backColor, 0x8000000F);
    color("ForeColor", m_label1Color, 0x80000012);
    write("Enabled", isEnabled(), true);
    bag.WriteFont(QStringLiteral("Font"), m_captionFont, ContainerFont(this));
    write("BorderStyle", m_borderStyle, 0);
    write("BackStyle", m_backStyle, 0);
    write("ToolTipText", m_toolTipText, QString());
    write("checkcaption", m_caption, QStringLiteral("Test"));
    write("WordWrap", m_wordWrap, true);
    color("HighColor1", m_highColor1, 0x80000014);
    color("HighColor2", m_highColor2, 0x80000010);
    color("Color1", m_color1, 0x8000000F);
    color("Color2", m_color2, 0x8000000F);
    bag.WritePicture(QStringLiteral("Picture"), m_picture);
    write("PicSize", m_picSize, 32);
    write("PicAlign", m_picAlign, 8);
    write("PicHeight", m_picHeight, 320);
    write("PicWidth", m_picWidth, 320);
    color("ForeColor", m_label1Color, 0x80000012);
    write("Caption", m_caption, QStringLiteral("Command"));
    write("TextAlign", m_textAlign, 8);
    write("PicDistToEdge", m_picDistToEdge, 40);
    write("TextDistToEdge", m_textDistToEdge, 40);
    write("TextWidth", m_textWidth, 1000);
    write("TextSetWH", m_textSetWH, 0);
    write("WordWrap", m_wordWrap, false);
}
