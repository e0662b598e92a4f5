#include "controls/Chk1.h"
#include "controls/PropertyBag.h"

using namespace SystemColor;

// Some keys come twice, as the design reads them; saving writes the same value twice.
template <typename Self, typename Design> void Chk1::Properties(Self &c, Design &d)
{
    d.value("Caption", c.m_caption, QStringLiteral("Check"));
    if constexpr (Design::Loading)
        c.captionChanged(c.m_caption);
    d.enabled(c, true);
    d.font(c);
    if constexpr (Design::Loading)
        c.Redraw();
    d.color("ForeColor", c.m_label2Color, ButtonText);
    d.value("ToolTipText", c.m_toolTipText, QString());
    if constexpr (Design::Loading)
        c.setToolTip(c.m_toolTipText);
    d.color("HighColor", c.m_highColor, 0);
    d.number("Size", c.m_size, 13);
    d.whole("Style", c.m_style, 1);
    d.value("UnderlineOnMOver", c.m_underlineOnMOver, true);
    d.picture("MouseIcon", c.m_mouseIcon);
    if constexpr (Design::Loading)
        c.m_mousePointer = c.m_mouseIcon.isNull() ? c.m_mousePointer : qint16(99);
    d.whole("MousePointer", c.m_mousePointer, 0);
    if constexpr (Design::Loading)
        c.applyPointer();
    d.whole("BackStyle", c.m_backStyle, 0);
    d.color("BackColor", c.m_backColor, ButtonFace);
    d.color("ForeColor", c.m_foreColor, 0);
    d.color("HighColor", c.m_highColor, 0);
    d.number("Size", c.m_size, 13);
    d.color("Forecolor", c.m_foreColor, 0);
    d.value("Checked", c.m_checked, false);
    if constexpr (Design::Loading)
        c.Redraw();
    // With the number 1 as its default: a store without it loads True, and True is always stored.
    d.value("Animation", c.m_animation, 1);
    d.color("AnimColor1", c.m_animColor1, 0x404040);
    d.color("AnimColor2", c.m_animColor2, 0x808080);
    d.color("ClickColor", c.m_clickColor, 0x404040);
    d.number("Anim_Speed", c.m_animSpeed, 0.08);
    d.number("Anim_Duration", c.m_animDuration, 2);
    d.whole("ColorSet", c.m_colorSet, 1);
    d.value("IsOptionBtn", c.m_isOptionBtn, false);
    d.value("DoExternalChange", c.m_doExternalChange, false);
}

bool Chk1::ReadProperties(const PropertyBag &bag)
{
    DesignLoad design{bag};
    Properties(*this, design);
    if (m_userMode)
        m_hooks.HookMouse({this}, {WM_MOUSEMOVE, WM_MOUSELEAVE, WM_LBUTTONDOWN});
    return design.ok;
}

void Chk1::WriteProperties(PropertyBag &bag) const
{
    DesignSave design{bag};
    Properties(*this, design);
}
