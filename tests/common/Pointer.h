#pragma once

#include <QPoint>

class QWidget;

// Drives the pointer through the window system as a user would: the cursor position moves, and
// presses and releases are routed by the application, so mouse grabs and the widget under the
// pointer behave as they do on screen. Points are in the widget's coordinates.
namespace Pointer {
void MoveTo(QWidget *widget, QPoint pos);
void Press(QWidget *widget, QPoint pos);
void Release(QWidget *widget, QPoint pos);
} // namespace Pointer
