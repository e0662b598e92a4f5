#include "toolbar/McToolBar.h"

#include "controls/PropertyBag.h"

#include <algorithm>

using namespace SystemColor;

namespace {

// A damaged design must not make loading read and lay out millions of buttons.
constexpr int kMaxStoredButtons = 1000;

int ReadInt(const PropertyBag &bag, QAnyStringView key, int defaultValue)
{
    return bag.ReadProperty(key, defaultValue).toInt();
}

bool ReadBool(const PropertyBag &bag, QAnyStringView key, bool defaultValue)
{
    return bag.ReadProperty(key, defaultValue).toBool();
}

QString Indexed(const char *key, int index)
{
    return QLatin1String(key) + QString::number(index);
}

} // namespace

void McToolBar::InitProperties()
{
    m = ToolBarModel();
    RedrawControl();
}

void McToolBar::ReadProperties(const PropertyBag &bag)
{
    m.Read(bag, font());
    if (m.Font)
        setFont(*m.Font);
    m.Button_Index = m_designMode ? (m.count() > 0 ? 0 : -1) : -1;
    StartMouseTracking();
    RedrawControl();
}

void McToolBar::WriteProperties(PropertyBag &bag) const
{
    m.Write(bag, font());
}

void ToolBarModel::Read(const PropertyBag &bag, const QFont &containerFont)
{
    Appearance = static_cast<qint16>(ReadInt(bag, "Appearance", 0));
    BackColor = bag.ReadColor("BackColor", ButtonFace);
    BorderStyle = static_cast<qint16>(ReadInt(bag, "BorderStyle", 0));
    Enabled = ReadBool(bag, "Enabled", true);
    ForeColor = bag.ReadColor("ForeColor", 0);
    const int stored = ReadInt(bag, "Button_Count", 1);
    Button_Index = ReadInt(bag, "Button_Index", 0);
    ButtonsWidth = ReadInt(bag, "ButtonsWidth", 90);
    AutoSize = ReadBool(bag, "AutoSize", true);
    AutoSizeButtons = ReadBool(bag, "AutoSizeButtons", false);
    ButtonsHeight = ReadInt(bag, "ButtonsHeight", 40);
    ButtonsPerRow = ReadInt(bag, "ButtonsPerRow", 3);
    HoverColor = bag.ReadColor("HoverColor", ButtonFace);
    WarpSize = ReadBool(bag, "WarpSize", true);
    TooTipStyle = ReadInt(bag, "TooTipStyle", 2);
    ToolTipBackCol = bag.ReadColor("ToolTipBackCol", 15138301);
    ToolTipForeCol = bag.ReadColor("ToolTipForeCol", 0);
    BackGradient = ReadInt(bag, "BackGradient", 0);
    BackGradientCol = bag.ReadColor("BackGradientCol", 0xC0C0FF);
    ButtonsStyle = ReadInt(bag, "ButtonsStyle", 0);
    BorderColor = bag.ReadColor("BorderColor", ActiveBorder);
    HoverIconShadow = ReadBool(bag, "HoverIconShadow", true);
    const QFont font = bag.ReadFont("Font", containerFont);
    Font = font == containerFont ? std::nullopt : std::optional<QFont>(font);
    BackGround = bag.ReadPicture("BackGround");

    Buttons.assign(static_cast<size_t>(std::clamp(stored, 0, kMaxStoredButtons)), ButtonRecord());
    for (int i = 0; i < count(); ++i) {
        ButtonRecord &b = Buttons[static_cast<size_t>(i)];
        b.caption = bag.ReadProperty(Indexed("ButtonCaption", i), QStringLiteral("Button ")).toString();
        b.icon = bag.ReadPicture(Indexed("ButtonPicture", i));
        b.toolTip = bag.ReadProperty(Indexed("ButtonToolTipText", i), QString()).toString();
        b.toolTipIcon = ReadInt(bag, Indexed("ButtonToolTipIcon", i), 0);
        b.enabled = ReadBool(bag, Indexed("ButtonEnabled", i), true);
        b.pressed = ReadBool(bag, Indexed("ButtonPressed", i), false);
        b.iconAlignment = ReadInt(bag, Indexed("ButtonIconAllignment", i), 0);
    }
}

void ToolBarModel::Write(PropertyBag &bag, const QFont &containerFont) const
{
    bag.WriteProperty("Appearance", Appearance, 0);
    bag.WriteColor("BackColor", BackColor, ButtonFace);
    bag.WriteProperty("BorderStyle", BorderStyle, 0);
    bag.WriteProperty("Enabled", Enabled, true);
    bag.WriteFont("Font", Font.value_or(containerFont), containerFont);
    bag.WriteColor("ForeColor", ForeColor, 0);
    bag.WriteProperty("Button_Count", count(), 1);
    bag.WriteProperty("Button_Index", Button_Index, 0);
    bag.WritePicture("BackGround", BackGround);
    bag.WriteProperty("ButtonsWidth", ButtonsWidth, 90);
    bag.WriteProperty("AutoSize", AutoSize, true);
    bag.WriteProperty("AutoSizeButtons", AutoSizeButtons, false);
    bag.WriteProperty("ButtonsHeight", ButtonsHeight, 40);
    bag.WriteProperty("ButtonsPerRow", ButtonsPerRow, 3);
    bag.WriteColor("HoverColor", HoverColor, ButtonFace);
    bag.WriteProperty("WarpSize", WarpSize, true);
    bag.WriteProperty("TooTipStyle", TooTipStyle, 2);
    bag.WriteColor("ToolTipBackCol", ToolTipBackCol, 15138301);
    bag.WriteColor("ToolTipForeCol", ToolTipForeCol, 0);
    bag.WriteProperty("BackGradient", BackGradient, 0);
    bag.WriteColor("BackGradientCol", BackGradientCol, 0xC0C0FF);
    bag.WriteProperty("ButtonsStyle", ButtonsStyle, 0);
    bag.WriteColor("BorderColor", BorderColor, ActiveBorder);
    bag.WriteProperty("HoverIconShadow", HoverIconShadow, true);
    for (int i = 0; i < count(); ++i) {
        const ButtonRecord &b = at(i);
        bag.WriteProperty(Indexed("ButtonCaption", i), b.caption, QStringLiteral("Button "));
        bag.WritePicture(Indexed("ButtonPicture", i), b.icon);
        bag.WriteProperty(Indexed("ButtonToolTipText", i), b.toolTip, QString());
        bag.WriteProperty(Indexed("ButtonToolTipIcon", i), b.toolTipIcon, 0);
        bag.WriteProperty(Indexed("ButtonEnabled", i), b.enabled, true);
        bag.WriteProperty(Indexed("ButtonPressed", i), b.pressed, false);
        bag.WriteProperty(Indexed("ButtonIconAllignment", i), b.iconAlignment, 0);
    }
}
