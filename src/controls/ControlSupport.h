#pragma once

#include "controls/StdPicture.h"

#include <QFont>
#include <QString>
#include <optional>

#include <QColor>

class QKeyEvent;
class QWidget;

// Conversions the painted controls share: checked whole numbers as the designs keep them,
// colours and mouse pointers, and key and mouse codes as their events report them.

// Whole number rounded half to even; nothing when the value does not fit (an arithmetic error).
std::optional<qint16> ToInt16(double value);
std::optional<qint32> ToInt32(double value);
// Products computed in 16 and 32 bits with overflow checking.
std::optional<qint16> MulInt16(qint16 a, qint16 b);
std::optional<qint32> MulInt32(qint32 a, qint32 b);

// Applies a stored mouse pointer number (0 default, 1 arrow, 2 cross, 3 I-beam, 11 hourglass,
// 99 the custom icon ...) to a widget.
void ApplyMousePointer(QWidget *widget, qint16 pointer, const StdPicture &icon);

// The font a control takes when its design names none: its container's.
QFont ContainerFont(const QWidget *control);

// A stored colour: 0x00BBGGRR, or 0x800000NN for the system colour with index NN.
QColor ControlColor(quint32 value);

// Key code as the control's KeyDown and KeyUp report it (letters and digits as their upper-case
// character, Enter 13, Space 32, arrows 37 to 40, F1 112 ...), 0 for keys without one.
qint16 KeyCodeOf(const QKeyEvent *event);
// The character code KeyPress reports; 0 when the key gives no character.
qint16 KeyAsciiOf(const QKeyEvent *event);
// Shift 1, Ctrl 2, Alt 4.
qint16 ShiftOf(Qt::KeyboardModifiers modifiers);
// Left 1, right 2, middle 4.
qint16 ButtonOf(Qt::MouseButtons buttons);
