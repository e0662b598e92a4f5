#include "controls/Cmd1.h"
#include "controls/PropertyBag.h"

using namespace SystemColor;

template <typename Self, typename Design> void Cmd1::Properties(Self &c, Design &d)
{
    d.color("BackColor", c.m_backColor, ButtonFace);
    d.color("ForeColor", c.m_label1Color, ButtonText);
    d.enabled(c, true);
    d.font(c);
    d.whole("BorderStyle", c.m_borderStyle, 0);
    d.whole("BackStyle", c.m_backStyle, 0);
    d.value("ToolTipText", c.m_toolTipText, QString());
    d.value("checkcaption", c.m_caption, QStringLiteral("Test"));
    if constexpr (Design::Loading)
        d.ok &= c.CaptionTextChanged(c.m_caption);
    d.value("WordWrap", c.m_wordWrap, true);
    d.color("HighColor1", c.m_highColor1, ButtonHighlight);
    d.color("HighColor2", c.m_highColor2, ButtonShadow);
    d.color("Color1", c.m_color1, ButtonFace);
    d.color("Color2", c.m_color2, ButtonFace);
    d.picture("Picture", c.m_picture);
    if constexpr (Design::Loading)
        d.ok &= c.ArrangeContent(true);
    d.whole("PicSize", c.m_picSize, 32);
    d.whole("PicAlign", c.m_picAlign, 8);
    d.whole("PicHeight", c.m_picHeight, 320);
    d.whole("PicWidth", c.m_picWidth, 320);
    d.color("ForeColor", c.m_label1Color, ButtonText);
    d.value("Caption", c.m_caption, QStringLiteral("Command"));
    if constexpr (Design::Loading)
        d.ok &= c.CaptionTextChanged(c.m_caption);
    d.whole("TextAlign", c.m_textAlign, 8);
    d.whole("PicDistToEdge", c.m_picDistToEdge, 40);
    d.whole("TextDistToEdge", c.m_textDistToEdge, 40);
    d.whole("TextWidth", c.m_textWidth, 1000);
    d.whole("TextSetWH", c.m_textSetWH, 0);
    // Written with two defaults, so a store without the key means no word wrap.
    d.value("WordWrap", c.m_wordWrap, false);
}

bool Cmd1::ReadProperties(const PropertyBag &bag)
{
    DesignLoad design{bag};
    Properties(*this, design);
    return ArrangeContent(true) && design.ok;
}

void Cmd1::WriteProperties(PropertyBag &bag) const
{
    DesignSave design{bag};
    Properties(*this, design);
}
