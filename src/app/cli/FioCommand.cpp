#include "app/cli/FioCommand.h"

#include <QRegularExpression>

namespace FioCommand {

namespace {

// The kernel's limit on one argument (MAX_ARG_STRLEN), its terminating zero included.
constexpr qsizetype kMaxArgument = 32 * 4096 - 1;

// fio splits file and folder lists at ':'; a colon of the path itself is escaped.
QString FioPath(QString path)
{
    return path.replace(u':', QStringLiteral("\\:"));
}

} // namespace

QString ShellQuote(const QString &word)
{
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_./:=,+%@-]+$"));
    if (safe.match(word).hasMatch())
        return word;
    return u'\'' + QString(word).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

QList<FioJob> Jobs(const FioSetup &s)
{
    if (s.count < 1 || s.sizeMB < 1)
        return {};
    QStringList names;
    for (int f = 1; f <= s.count; ++f)
        names.append(QString::number(f) + QStringLiteral(".tst"));
    const QString fileList = QStringLiteral("--filename=") + names.join(u':');
    if (fileList.size() > kMaxArgument)
        return {};

    const QString kind = s.multiple ? QStringLiteral("multiple") : QStringLiteral("single");
    const auto job = [&](const QString &phase) {
        QStringList a{QStringLiteral("fio"), QStringLiteral("--name=veltaro-%1-%2").arg(kind, phase),
                      QStringLiteral("--directory=") + FioPath(s.folder), fileList, QStringLiteral("--rw=") + phase,
                      QStringLiteral("--bs=1k"), QStringLiteral("--ioengine=sync"),
                      QStringLiteral("--filesize=%1M").arg(s.sizeMB),
                      QStringLiteral("--size=%1M").arg(qint64(s.count) * s.sizeMB),
                      // roundrobin switches file after every block, as the multiple test does.
                      s.multiple ? QStringLiteral("--file_service_type=roundrobin")
                                 : QStringLiteral("--file_service_type=sequential")};
        if (!s.multiple)
            a.append(QStringLiteral("--openfiles=1")); // one file open at a time, as the single test
        return a;
    };

    // The files grow from empty as the test's do: no layout pass, no preallocation; the blocks
    // are the test's letter x.
    QStringList write = job(QStringLiteral("write"));
    write << QStringLiteral("--create_on_open=1") << QStringLiteral("--fallocate=none")
          << QStringLiteral("--buffer_pattern=0x78") << QStringLiteral("--direct=%1").arg(s.direct ? 1 : 0);
    if (s.dsync)
        write << QStringLiteral("--sync=dsync");
    // Without readUncached the reads go through the page cache right after the writes, without
    // dropping it first. With it they bypass the cache as the writes do, or, through the cache, start
    // from dropped pages (invalidate). The read job deletes the files at its end as the run does.
    QStringList read = job(QStringLiteral("read"));
    read << QStringLiteral("--direct=%1").arg(s.readUncached && s.direct ? 1 : 0)
         << QStringLiteral("--invalidate=%1").arg(s.readUncached && !s.direct ? 1 : 0) << QStringLiteral("--unlink=1");
    return {FioJob{QStringLiteral("write"), write}, FioJob{QStringLiteral("read"), read}};
}

} // namespace FioCommand

QString FioJob::shellLine() const
{
    QStringList words;
    for (const QString &arg : argv)
        words.append(FioCommand::ShellQuote(arg));
    return words.join(u' ');
}
