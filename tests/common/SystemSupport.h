#pragma once

#include <QByteArray>
#include <QDir>
#include <QStringList>

namespace SystemTest {

struct Result {
    int code = -1; // -1: did not start, crashed or timed out
    QByteArray out;
    QByteArray err;
};

// veltaro-cli beside the test binary.
QString Cli();
// Runs program to its end in workDir under LC_ALL=C.UTF-8; workDir without language files gives the
// built-in texts.
Result Run(const QString &program, const QStringList &args, const QString &workDir = QDir::tempPath(),
           int timeoutMs = 120000);
inline Result RunCli(const QStringList &args, const QString &workDir = QDir::tempPath())
{
    return Run(Cli(), args, workDir);
}
QStringList Entries(const QString &folder); // files only, sorted
// Writes bytes to path, making the folders on the way.
bool WriteFile(const QString &path, const QByteArray &bytes = {});

} // namespace SystemTest
