#include "toolbar/ToolBarModel.h"

#include "controls/PropertyBag.h"

#include <algorithm>
#include <utility>

namespace {

// A damaged design must not make loading read and lay out millions of buttons.
constexpr int kMaxStoredButtons = 1000;

int ReadInt(const PropertyBag &bag, const QString &key, int defaultValue)
{
    return bag.ReadProperty(key, defaultValue).toInt();
}

bool ReadBool(const PropertyBag &bag, const QString &key, bool defaultValue)
{
    return bag.ReadProperty(key, defaultValue).toBool();
}

QString Indexed(const char *key, int index)
{
    return QString::fromLatin1(key) + QString::number(index);
}

} // namespace

ButtonRecord ToolBarModel::NewButton(int index)
{
    ButtonRecord button;
    button.caption = QStringLiteral("Button ") + QString::number(index);
    return button;
}

bool ToolBarModel::SetButtonCount(int newCount)
{
    if (newCount < 1 || newCount == count())
        return false;
    const int old = count();
    Buttons.resize(static_cast<size_t>(newCount));
    for (int i = old; i < newCount; ++i)
        Buttons[static_cast<size_t>(i)] = NewButton(i);
    return true;
}

bool ToolBarModel::SetButtonIndex(int index)
{
    index = std::clamp(index, -1, count() - 1);
    if (index == Button_Index)
        return false;
    Button_Index = index;
    return true;
}

bool ToolBarModel::RemoveButton()
{
    if (count() <= 1 || !valid(Button_Index))
        return false;
    Buttons.erase(Buttons.begin() + Button_Index);
    if (Button_Index >= count())
        Button_Index = count() - 1;
    return true;
}

bool ToolBarModel::MoveButtonTo(int target)
{
    if (!valid(Button_Index) || count() < 1)
        return false;
    target = std::clamp(target, 0, count() - 1);
    std::swap(Buttons[static_cast<size_t>(Button_Index)], Buttons[static_cast<size_t>(target)]);
    Button_Index = target;
    return true;
}

void ToolBarModel::Read(const PropertyBag &bag, const QFont &containerFont)
{
    Appearance = static_cast<qint16>(ReadInt(bag, QStringLiteral("Appearance"), 0));
    BackColor = bag.ReadColor(QStringLiteral("BackColor"), 0x8000000F);
    BorderStyle = static_cast<qint16>(ReadInt(bag, QStringLiteral("BorderStyle"), 0));
    Enabled = ReadBool(bag, QStringLiteral("Enabled"), true);
    ForeColor = bag.ReadColor(QStringLiteral("ForeColor"), 0);
    const int stored = ReadInt(bag, QStringLiteral("Button_Count"), 1);
    Button_Index = ReadInt(bag, QStringLiteral("Button_Index"), 0);
    ButtonsWidth = ReadInt(bag, QStringLiteral("ButtonsWidth"), 90);
    AutoSize = ReadBool(bag, QStringLiteral("AutoSize"), true);
    AutoSizeButtons = ReadBool(bag, QStringLiteral("AutoSizeButtons"), false);
    ButtonsHeight = ReadInt(bag, QStringLiteral("ButtonsHeight"), 40);
    ButtonsPerRow = ReadInt(bag, QStringLiteral("ButtonsPerRow"), 3);
    HoverColor = bag.ReadColor(QStringLiteral("HoverColor"), 0x8000000F);
    WarpSize = ReadBool(bag, QStringLiteral("WarpSize"), true);
    TooTipStyle = ReadInt(bag, QStringLiteral("TooTipStyle"), 2);
    ToolTipBackCol = bag.ReadColor(QStringLiteral("ToolTipBackCol"), 15138301);
    ToolTipForeCol = bag.ReadColor(QStringLiteral("ToolTipForeCol"), 0);
    BackGradient = ReadInt(bag, QStringLiteral("BackGradient"), 0);
    BackGradientCol = bag.ReadColor(QStringLiteral("BackGradientCol"), 0xC0C0FF);
    ButtonsStyle = ReadInt(bag, QStringLiteral("ButtonsStyle"), 0);
    BorderColor = bag.ReadColor(QStringLiteral("BorderColor"), 0x8000000A);
    HoverIconShadow = ReadBool(bag, QStringLiteral("HoverIconShadow"), true);
    const QFont font = bag.ReadFont(QStringLiteral("Font"), containerFont);
    Font = font == containerFont ? std::nullopt : std::optional<QFont>(font);
    BackGround = bag.ReadPicture(QStringLiteral("BackGround"));

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
    bag.WriteProperty(QStringLiteral("Appearance"), Appearance, 0);
    bag.WriteColor(QStringLiteral("BackColor"), BackColor, 0x8000000F);
    bag.WriteProperty(QStringLiteral("BorderStyle"), BorderStyle, 0);
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled, true);
    bag.WriteFont(QStringLiteral("Font"), Font.value_or(containerFont), containerFont);
    bag.WriteColor(QStringLiteral("ForeColor"), ForeColor, 0);
    bag.WriteProperty(QStringLiteral("Button_Count"), count(), 1);
    bag.WriteProperty(QStringLiteral("Button_Index"), Button_Index, 0);
    bag.WritePicture(QStringLiteral("BackGround"), BackGround);
    bag.WriteProperty(QStringLiteral("ButtonsWidth"), ButtonsWidth, 90);
    bag.WriteProperty(QStringLiteral("AutoSize"), AutoSize, true);
    bag.WriteProperty(QStringLiteral("AutoSizeButtons"), AutoSizeButtons, false);
    bag.WriteProperty(QStringLiteral("ButtonsHeight"), ButtonsHeight, 40);
    bag.WriteProperty(QStringLiteral("ButtonsPerRow"), ButtonsPerRow, 3);
    bag.WriteColor(QStringLiteral("HoverColor"), HoverColor, 0x8000000F);
    bag.WriteProperty(QStringLiteral("WarpSize"), WarpSize, true);
    bag.WriteProperty(QStringLiteral("TooTipStyle"), TooTipStyle, 2);
    bag.WriteColor(QStringLiteral("ToolTipBackCol"), ToolTipBackCol, 15138301);
    bag.WriteColor(QStringLiteral("ToolTipForeCol"), ToolTipForeCol, 0);
    bag.WriteProperty(QStringLiteral("BackGradient"), BackGradient, 0);
    bag.WriteColor(QStringLiteral("BackGradientCol"), BackGradientCol, 0xC0C0FF);
    bag.WriteProperty(QStringLiteral("ButtonsStyle"), ButtonsStyle, 0);
    bag.WriteColor(QStringLiteral("BorderColor"), BorderColor, 0x8000000A);
    bag.WriteProperty(QStringLiteral("HoverIconShadow"), HoverIconShadow, true);
    for (int i = 0; i < count(); ++i) {
        const ButtonRecord &b = Buttons[static_cast<size_t>(i)];
        bag.WriteProperty(Indexed("ButtonCaption", i), b.caption, QStringLiteral("Button "));
        bag.WritePicture(Indexed("ButtonPicture", i), b.icon);
        bag.WriteProperty(Indexed("ButtonToolTipText", i), b.toolTip, QString());
        bag.WriteProperty(Indexed("ButtonToolTipIcon", i), b.toolTipIcon, 0);
        bag.WriteProperty(Indexed("ButtonEnabled", i), b.enabled, true);
        bag.WriteProperty(Indexed("ButtonPressed", i), b.pressed, false);
        bag.WriteProperty(Indexed("ButtonIconAllignment", i), b.iconAlignment, 0);
    }
}
