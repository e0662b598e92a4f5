#include "controls/PPB.h"
#include "controls/PropertyBag.h"

bool PPB::ReadProperties(const PropertyBag &bag)
{
    bool ok = true;
    m_isPercent = bag.ReadProperty("IsPercent", true).toBool();
    setFont(bag.ReadFont("Font", ContainerFont(this)));
    SetLabelText(m_labelText);
    Redraw();
    // No default: a design without the key gives a disabled bar.
    setEnabled(bag.ReadProperty("Enabled", false).toBool());
    ok &= bag.ReadWhole("MousePointer", 0, m_mousePointer);
    m_mouseIcon = bag.ReadPicture("MouseIcon");
    ApplyMousePointer(this, m_mousePointer, m_mouseIcon);
    m_picture = bag.ReadPicture("Image");
    m_toolTipText = bag.ReadProperty("ToolTipText", QString()).toString();
    // Read second, so "Picture" decides.
    m_picture = bag.ReadPicture("Picture");
    m_backColor = bag.ReadColor("BackColor", SystemColor::ButtonFace);
    ok &= bag.ReadWhole("BackStyle", 1, m_backStyle);
    m_borderColor = bag.ReadColor("BorderColor", SystemColor::WindowText);
    m_showLabel = bag.ReadProperty("ShowLabel", 1).toInt() != 0;
    m_showBorder = bag.ReadProperty("ShowBorder", 1).toInt() != 0;
    m_useCustomCaption = bag.ReadProperty("UseCustomCaption", false).toBool();
    Redraw();
    return ok;
}

void PPB::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty("IsPercent", m_isPercent, true);
    bag.WriteFont("Font", font(), ContainerFont(this));
    bag.WriteProperty("Enabled", isEnabled(), QVariant());
    bag.WriteProperty("MousePointer", m_mousePointer, 0);
    bag.WritePicture("MouseIcon", m_mouseIcon);
    bag.WritePicture("Image", m_picture);
    bag.WriteProperty("ToolTipText", m_toolTipText, QString());
    bag.WritePicture("Picture", m_picture);
    bag.WriteColor("BackColor", m_backColor, SystemColor::ButtonFace);
    bag.WriteProperty("BackStyle", m_backStyle, 1);
    bag.WriteColor("BorderColor", m_borderColor, SystemColor::WindowText);
    // A Boolean never equals the default 1, so both are always stored.
    bag.WriteProperty("ShowLabel", m_showLabel, 1);
    bag.WriteProperty("ShowBorder", m_showBorder, 1);
    bag.WriteProperty("UseCustomCaption", m_useCustomCaption, false);
}
