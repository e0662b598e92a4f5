#pragma once

#include "controls/StdPicture.h"

#include <QColor>
#include <QFont>
#include <cmath>
#include <limits>
#include <optional>

class QKeyEvent;
class QPainter;
class QWidget;

// Whole number rounded half to even (the default rounding mode); nothing when it does not fit T.
template <typename T> std::optional<T> ToWhole(double value)
{
    const double r = std::nearbyint(value);
    if (!std::isfinite(r) || r < std::numeric_limits<T>::min() || r > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(r);
}

// A stored mouse pointer number (0 default, 1 arrow, 2 cross, 3 I-beam, 11 hourglass, 99 the icon ...).
void ApplyMousePointer(QWidget *widget, qint16 pointer, const StdPicture &icon);

// The font a control takes when its design names none: its container's.
QFont ContainerFont(const QWidget *control);

// A stored colour: 0x00BBGGRR, or 0x800000NN for the system colour with index NN.
QColor ControlColor(quint32 value);
// The one-pixel edges of a rectangle; the right and bottom ones, drawn last, take the corners.
void DrawEdges(QPainter &p, const QRect &r, const QColor &topLeft, const QColor &bottomRight);

// A caption as drawn: the "&" that marks a mnemonic is not shown, and "&&" shows one "&".
QString ShownCaption(const QString &caption);

// Key code of KeyDown and KeyUp (letters and digits upper case, Enter 13, arrows 37 to 40, F1 112 ...), or 0.
qint16 KeyCodeOf(const QKeyEvent *event);
// The character code KeyPress reports; 0 when the key gives no character.
qint16 KeyAsciiOf(const QKeyEvent *event);
// Shift 1, Ctrl 2, Alt 4.
qint16 ShiftOf(Qt::KeyboardModifiers modifiers);
// Left 1, right 2, middle 4.
qint16 ButtonOf(Qt::MouseButtons buttons);
