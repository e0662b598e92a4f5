#pragma once

#include <QString>
#include <QUrl>
#include <functional>

// Opening a document, folder or web address with the desktop's own handler.

// 1 "open", 2 "explore", 3 "find", 4 "print", 5 "edit"; any other number gives no verb (the default
// action).
QString ShellVerbName(int verbNumber);

// Opens target with the verb of verbNumber; true when the desktop accepted the request. An executable
// file is started with the blank-separated parameters in directory; a document, folder or address goes
// to the desktop's handler (xdg-open), which has no parameters. showCommand has no equivalent here.
// The desktop offers no verbs "find", "print" or "edit" for an arbitrary target: those give false.
bool ShellOpen(const QString &target, int verbNumber, const QString &parameters, const QString &directory,
               int showCommand);

// Opens a web address in the browser and nothing else: no program is started. The handler below
// sees it with the verb "open".
bool OpenWebAddress(const QUrl &url);

// Tests answer requests instead of starting programs; an empty handler restores the real one.
using ShellOpenHandler = std::function<bool(const QString &target, const QString &verb)>;
void SetShellOpenHandler(ShellOpenHandler handler);
