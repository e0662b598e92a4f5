#pragma once

#include <QString>

// Where an installed program finds the files it ships. The language folder sits beside the
// executable's folder (../share/veltaro/lang from bin), so an unpacked package tree works as well
// as an installed one.
namespace InstallPaths {

// The installed language folder for an executable in exeDir.
QString LanguageFolder(const QString &exeDir);

// The language file to open for a name from the command line: the name itself when it is a file
// seen from the current folder; else that name inside the installed language folder when it is a
// file there; else the name unchanged, so the loader fails as it always did and the built-in
// texts stay.
QString LanguageFile(const QString &name, const QString &exeDir);

// The same for the running executable.
QString LanguageFile(const QString &name);

} // namespace InstallPaths
