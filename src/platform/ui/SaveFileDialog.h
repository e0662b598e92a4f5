#pragma once

#include <QString>
#include <functional>

class QWidget;

// The save dialog: asks for a file name with a file-type filter such as "*.txt" (whose extension is
// added to a name typed without one). Empty when the user cancels.
QString GetSaveFileName(QWidget *parent, const QString &filter);

// Tests answer the dialog instead of showing it; an empty handler restores the real dialog.
using SaveFileNameHandler = std::function<QString(const QString &filter)>;
void SetSaveFileNameHandler(SaveFileNameHandler handler);
