#include "controls/Cmd1.h"
#include "controls/PropertyBag.h"

using namespace SystemColor;

bool Cmd1::ReadProperties(const PropertyBag &bag)
{
    bool ok = true;
    m_backColor = bag.ReadColor("BackColor", ButtonFace);
    m_label1Color = bag.ReadColor("ForeColor", ButtonText);
    setEnabled(bag.ReadProperty("Enabled", true).toBool());
    setFont(bag.ReadFont("Font", ContainerFont(this)));
    ok &= bag.ReadWhole("BorderStyle", 0, m_borderStyle);
    ok &= bag.ReadWhole("BackStyle", 0, m_backStyle);
    m_toolTipText = bag.ReadProperty("ToolTipText", QString()).toString();
    ok &= CaptionTextChanged(bag.ReadProperty("checkcaption", QStringLiteral("Test")).toString());
    m_wordWrap = bag.ReadProperty("WordWrap", true).toBool();
    m_highColor1 = bag.ReadColor("HighColor1", ButtonHighlight);
    m_highColor2 = bag.ReadColor("HighColor2", ButtonShadow);
    m_color1 = bag.ReadColor("Color1", ButtonFace);
    m_color2 = bag.ReadColor("Color2", ButtonFace);
    ok &= setPicture(bag.ReadPicture("Picture"));
    ok &= bag.ReadWhole("PicSize", 32, m_picSize);
    ok &= bag.ReadWhole("PicAlign", 8, m_picAlign);
    ok &= bag.ReadWhole("PicHeight", 320, m_picHeight);
    ok &= bag.ReadWhole("PicWidth", 320, m_picWidth);
    m_label1Color = bag.ReadColor("ForeColor", ButtonText);
    ok &= CaptionTextChanged(bag.ReadProperty("Caption", QStringLiteral("Command")).toString());
    ok &= bag.ReadWhole("TextAlign", 8, m_textAlign);
    ok &= bag.ReadWhole("PicDistToEdge", 40, m_picDistToEdge);
    ok &= bag.ReadWhole("TextDistToEdge", 40, m_textDistToEdge);
    ok &= bag.ReadWhole("TextWidth", 1000, m_textWidth);
    qint16 setWH = m_textSetWH ? -1 : 0;
    ok &= bag.ReadWhole("TextSetWH", 0, setWH);
    m_textSetWH = setWH != 0;
    // Written with two defaults, so a store without the key means no word wrap.
    m_wordWrap = bag.ReadProperty("WordWrap", false).toBool();
    ok &= ArrangeContent(true);
    return ok;
}

void Cmd1::WriteProperties(PropertyBag &bag) const
{
    bag.WriteColor("BackColor", m_backColor, ButtonFace);
    bag.WriteColor("ForeColor", m_label1Color, ButtonText);
    bag.WriteProperty("Enabled", isEnabled(), true);
    bag.WriteFont("Font", font(), ContainerFont(this));
    bag.WriteProperty("BorderStyle", m_borderStyle, 0);
    bag.WriteProperty("BackStyle", m_backStyle, 0);
    bag.WriteProperty("ToolTipText", m_toolTipText, QString());
    bag.WriteProperty("checkcaption", m_caption, QStringLiteral("Test"));
    bag.WriteProperty("WordWrap", m_wordWrap, true);
    bag.WriteColor("HighColor1", m_highColor1, ButtonHighlight);
    bag.WriteColor("HighColor2", m_highColor2, ButtonShadow);
    bag.WriteColor("Color1", m_color1, ButtonFace);
    bag.WriteColor("Color2", m_color2, ButtonFace);
    bag.WritePicture("Picture", m_picture);
    bag.WriteProperty("PicSize", m_picSize, 32);
    bag.WriteProperty("PicAlign", m_picAlign, 8);
    bag.WriteProperty("PicHeight", m_picHeight, 320);
    bag.WriteProperty("PicWidth", m_picWidth, 320);
    bag.WriteColor("ForeColor", m_label1Color, ButtonText);
    bag.WriteProperty("Caption", m_caption, QStringLiteral("Command"));
    bag.WriteProperty("TextAlign", m_textAlign, 8);
    bag.WriteProperty("PicDistToEdge", m_picDistToEdge, 40);
    bag.WriteProperty("TextDistToEdge", m_textDistToEdge, 40);
    bag.WriteProperty("TextWidth", m_textWidth, 1000);
    bag.WriteProperty("TextSetWH", m_textSetWH, 0);
    bag.WriteProperty("WordWrap", m_wordWrap, false);
}
