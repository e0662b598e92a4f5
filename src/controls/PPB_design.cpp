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
    m_font = bag.ReadFont(QStringLiteral("Font"), container);
    SetLabelText(m_labelText);
    Redraw();
    // No default: a design without the key gives a disabled bar.
    QWidget::setEnabled(Read(bag, "Enabled", false).toBool());
    const auto pointer = ToInt16(Read(bag, "MousePointer", 0.0).toDouble());
    ok &= pointer.has_value();
    if (pointer)
        m_mousePointer = *pointer;
    m_mouseIcon = bag.ReadPicture(QStringLiteral("MouseIcon"));
    ApplyMousePointer(this, m_mousePointer, m_mouseIcon);
    m_picture = bag.ReadPicture(QStringLiteral("Image"));
    m_toolTipText = Read(bag, "ToolTipText", QString()).toString();
    // Read second, so "Picture" decides.
    m_picture = bag.ReadPicture(QStringLiteral("Picture"));
    m_backColor = bag.ReadColor(QStringLiteral("BackColor"), 0x8000000F);
    const auto backStyle = ToInt16(Read(bag, "BackStyle", 1.0).toDouble());
    ok &= backStyle.has_value();
    if (backStyle)
        m_backStyle = *backStyle;
    m_borderColor = bag.ReadColor(QStringLiteral("BorderColor"), 0x80000008);
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
    bag.WriteFont(QStringLiteral("Font"), m_font, ContainerFont(this));
    write("Enabled", isEnabled(), QVariant());
    write("MousePointer", m_mousePointer, 0);
    bag.WritePicture(QStringLiteral("MouseIcon"), m_mouseIcon);
    bag.WritePicture(QStringLiteral("Image"), m_picture);
    write("ToolTipText", m_toolTipText, QString());
    bag.WritePicture(QStringLiteral("Picture"), m_picture);
    bag.WriteColor(QStringLiteral("BackColor"), m_backColor, 0x8000000F);
    write("BackStyle", m_backStyle, 1);
    bag.WriteColor(QStringLiteral("BorderColor"), m_borderColor, 0x80000008);
    // A Boolean never equals the default 1, so both are always stored.
    write("ShowLabel", m_showLabel, 1);
    write("ShowBorder", m_showBorder, 1);
    write("UseCustomCaption", m_useCustomCaption, false);
}
