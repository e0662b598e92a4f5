#include "platform/ui/ShellOpen.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

ShellOpenHandler &ShellOpenOverride()
{
    static ShellOpenHandler handler;
    return handler;
}

} // namespace

void SetShellOpenHandler(ShellOpenHandler handler)
{
    ShellOpenOverride() = std::move(handler);
}

QString ShellVerbName(int verbNumber)
{
    switch (verbNumber) {
    case 1:
        return QStringLiteral("open");
    case 2:
        return QStringLiteral("explore");
    case 3:
        return QStringLiteral("find");
    case 4:
        return QStringLiteral("print");
    case 5:
        return QStringLiteral("edit");
    default:
        return QString();
    }
}

bool OpenWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https"))
        return false;
    if (ShellOpenOverride())
        return ShellOpenOverride()(url.toString(), ShellVerbName(1));
    return QDesktopServices::openUrl(url);
}

bool ShellOpen(const QString &target, int verbNumber, const QString &parameters, const QString &directory,
               int showCommand)
{
    Q_UNUSED(showCommand);
    const QString verb = ShellVerbName(verbNumber);
    if (ShellOpenOverride())
        return ShellOpenOverride()(target, verb);
    if (target.isEmpty())
        return false;
    if (!verb.isEmpty() && verb != u"open" && verb != u"explore")
        return false;

    const QFileInfo file(directory.isEmpty() ? QFileInfo(target) : QFileInfo(QDir(directory), target));
    if (verb != u"explore" && file.isFile() && file.isExecutable())
        return QProcess::startDetached(file.absoluteFilePath(), QProcess::splitCommand(parameters),
                                       directory.isEmpty() ? file.absolutePath() : directory);
    const QUrl url = QUrl::fromUserInput(target, directory.isEmpty() ? QStringLiteral(".") : directory);
    return url.isValid() && QDesktopServices::openUrl(url);
}
