#include "controls/PPB.h"
#include "controls/PropertyBag.h"

namespace {

QVariant Read(const PropertyBag &bag, const char *key, const QVariant &defaultValue)
{
    return bag.ReadProperty(QString::fromLatin1(key), defaultValue);
}

} // namespace

bool PPB::ReadProperties(const PropertyBag &bag)
{
    bool ok = true;
    m_isPercent = Read(bag, "IsPercent", true).toBool();
    const QFont container = ContainerFont(this);
    m_font = FontFromText(Read(bag, "Font", FontToText(container)).toString(), container);
    SetLabelText(m_labelText);
    Redraw();
    // No default: a design without the key gives a disabled bar.
    QWidget::setEnabled(Read(bag, "Enabled", false).toBool());
    const auto pointer = ToInt16(Read(bag, "MousePointer", 0.0).toDouble());
    ok &= pointer.has_value();
    if (pointer)
        m_mousePointer = *pointer;
    m_mouseIcon = DesignPicture::load(Read(bag, "MouseIcon", QString()).toString());
    ApplyMousePointer(this, m_mousePointer, m_mouseIcon);
    m_picture = DesignPicture::load(Read(bag, "Image", QString()).toString());
    m_toolTipText = Read(bag, "ToolTipText", QString()).toString();
    // Read second, so "Picture" decides.
    m_picture = DesignPicture::load(Read(bag, "Picture", QString()).toString());
    m_backColor = Read(bag, "BackColor", QVariant::fromValue(0x8000000Fu)).toUInt();
    const auto backStyle = ToInt16(Read(bag, "BackStyle", 1.0).toDouble());
    ok &= backStyle.has_value();
    if (backStyle)
        m_backStyle = *backStyle;
    m_borderColor = Read(bag, "BorderColor", QVariant::fromValue(0x80000008u)).toUInt();
    m_showLabel = Read(bag, "ShowLabel", 1).toInt() != 0;
    m_showBorder = Read(bag, "ShowBorder", 1).toInt() != 0;
    m_useCustomCaption = Read(bag, "UseCustomCaption", false).toBool();
    Redraw();
    return ok;
}

void PPB::WriteProperties(PropertyBag &bag) const
{
    const auto write = [&](const char *key, const QVariant &value, const QVariant &defaultValue) {
        bag.WriteProperty(QString::fromLatin1(key), value, defaultValue);
    };
    write("IsPercent", m_isPercent, true);
    write("Font", FontToText(m_font), FontToText(ContainerFont(this)));
    write("Enabled", isEnabled(), QVariant());
    write("MousePointer", m_mousePointer, 0);
    write("MouseIcon", m_mouseIcon.source, QString());
    write("Image", m_picture.source, QString());
    write("ToolTipText", m_toolTipText, QString());
    write("Picture", m_picture.source, QString());
    write("BackColor", QVariant::fromValue(m_backColor), QVariant::fromValue(0x8000000Fu));
    write("BackStyle", m_backStyle, 1);
    write("BorderColor", QVariant::fromValue(m_borderColor), QVariant::fromValue(0x80000008u));
    // A Boolean never equals the default 1, so both are always stored.
    write("ShowLabel", m_showLabel, 1);
    write("ShowBorder", m_showBorder, 1);
    write("UseCustomCaption", m_useCustomCaption, false);
}
