#include "controls/PPB.h"
#include "controls/PropertyBag.h"

template <typename Self, typename Design> void PPB::Properties(Self &c, Design &d)
{
    d.value("IsPercent", c.m_isPercent, true);
    d.font(c);
    if constexpr (Design::Loading) {
        c.SetLabelText(c.m_labelText);
        c.Redraw();
        // No default: a design without the key gives a disabled bar.
        d.enabled(c, false);
    } else {
        d.enabled(c, QVariant());
    }
    d.whole("MousePointer", c.m_mousePointer, 0);
    d.picture("MouseIcon", c.m_mouseIcon);
    if constexpr (Design::Loading)
        c.applyPointer();
    d.picture("Image", c.m_picture);
    d.value("ToolTipText", c.m_toolTipText, QString());
    // Loaded second, so "Picture" decides.
    d.picture("Picture", c.m_picture);
    d.color("BackColor", c.m_backColor, SystemColor::ButtonFace);
    d.whole("BackStyle", c.m_backStyle, 1);
    d.color("BorderColor", c.m_borderColor, SystemColor::WindowText);
    // With the number 1 as their default, both are always stored.
    d.value("ShowLabel", c.m_showLabel, 1);
    d.value("ShowBorder", c.m_showBorder, 1);
    d.value("UseCustomCaption", c.m_useCustomCaption, false);
}

bool PPB::ReadProperties(const PropertyBag &bag)
{
    DesignLoad design{bag};
    Properties(*this, design);
    Redraw();
    return design.ok;
}

void PPB::WriteProperties(PropertyBag &bag) const
{
    DesignSave design{bag};
    Properties(*this, design);
}
