#include "platform/InstallPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// The build sets this from the install layout; the default is the layout of a /usr or /usr/local install.
#ifndef VELTARO_LANG_RELDIR
#define VELTARO_LANG_RELDIR "../share/veltaro/lang"
#endif

namespace InstallPaths {

QString LanguageFolder(const QString &exeDir)
{
    return QDir::cleanPath(QDir(exeDir).filePath(QStringLiteral(VELTARO_LANG_RELDIR)));
}

QString LanguageFile(const QString &name, const QString &exeDir)
{
    if (QFileInfo(name).isFile() || exeDir.isEmpty())
        return name;
    const QString installed = QDir(LanguageFolder(exeDir)).filePath(name);
    return QFileInfo(installed).isFile() ? installed : name;
}

QString LanguageFile(const QString &name)
{
    return LanguageFile(name, QCoreApplication::applicationDirPath());
}

} // namespace InstallPaths
