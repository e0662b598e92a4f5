#pragma once

#include "controls/StdPicture.h"
#include "platform/ui/Colors.h"

#include <QFont>
#include <QString>
#include <optional>
#include <vector>

class PropertyBag;

// One toolbar button. The last four fields are the layout of the last redraw.
struct ButtonRecord {
    QString caption;
    StdPicture icon;
    bool enabled = true;
    QString toolTip;
    qint32 toolTipIcon = 0;
    bool pressed = false;
    qint32 iconAlignment = 0;
    qint32 width = 0;
    qint32 height = 0;
    qint32 top = 0;
    qint32 left = 0;
};

// Everything a toolbar stores, with the values a newly placed toolbar starts with.
struct ToolBarModel {
    qint32 Appearance = 0;
    quint32 BackColor = SystemColor::ButtonFace;
    qint32 BorderStyle = 0;
    bool Enabled = true;
    std::optional<QFont> Font; // none: the container's font
    quint32 ForeColor = 0;
    qint32 Button_Index = 0;
    StdPicture BackGround;
    qint32 ButtonsWidth = 90;
    bool AutoSize = true;
    bool AutoSizeButtons = false;
    qint32 ButtonsHeight = 40;
    qint32 ButtonsPerRow = 3;
    quint32 HoverColor = SystemColor::ButtonFace;
    bool WarpSize = true;
    qint32 TooTipStyle = 0;
    quint32 ToolTipBackCol = 15138301;
    quint32 ToolTipForeCol = 0;
    qint32 BackGradient = 0;
    quint32 BackGradientCol = 0xC0C0FF;
    qint32 ButtonsStyle = 0;
    quint32 BorderColor = SystemColor::ActiveBorder;
    bool HoverIconShadow = true;
    std::vector<ButtonRecord> Buttons{NewButton(0)};

    int count() const { return static_cast<int>(Buttons.size()); }
    bool valid(int index) const { return index >= 0 && index < count(); }
    const ButtonRecord &at(int index) const { return Buttons[static_cast<size_t>(index)]; }

    // A button added at index i: captioned "Button " and i, enabled, nothing else set.
    static ButtonRecord NewButton(int index);

    // Editing. Each returns whether anything changed.
    bool SetButtonCount(int newCount);
    bool SetButtonIndex(int index);
    bool RemoveButton();
    bool MoveButtonTo(int target);
    bool SetPressed(int index, bool pressed);

    // The stored design, for loading and saving; the Font key is compared with the container's font.
    template <typename Model, typename Design> static void Properties(Model &m, Design &d, const QFont &containerFont);
};
