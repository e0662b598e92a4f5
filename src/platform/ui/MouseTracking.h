#pragma once

#include <QString>

// Whether a system library exports a function. The two mouse-leave entry points the controls ask
// for ("TrackMouseEvent" in "User32", "_TrackMouseEvent" in "Comctl32") stand for the toolkit's
// leave notification, which Qt gives on every platform; any other name is looked up in the shared
// library of that name.
bool IsFunctionExported(const QString &sFunction, const QString &sModule);

// Tests switch mouse-leave tracking off to run the controls as they run on a system without it.
void SetMouseTrackingAvailable(bool available);
