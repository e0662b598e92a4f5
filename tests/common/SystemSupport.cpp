#include "common/SystemSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace SystemTest {

QString Cli()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/veltaro-cli");
}

Result Run(const QString &program, const QStringList &args, const QString &workDir, int timeoutMs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.start(program, args);
    Result r;
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        p.waitForFinished();
        r.err = "did not finish: " + program.toUtf8() + '\n';
    } else {
        r.code = p.exitCode();
    }
    r.out = p.readAllStandardOutput();
    r.err += p.readAllStandardError();
    return r;
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).path()) && f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           f.write(bytes) == bytes.size();
}

} // namespace SystemTest
