// veltaro-cli: runs the single or the multiple test on a folder without a window and prints the log.
#include "engine/HeadlessRun.h"
#include "engine/LogFormatter.h"
#include "engine/RunGuard.h"
#include "engine/RunWarnings.h"
#include "lang/modLang.h"
#include "platform/FolderLock.h"
#include "platform/InstallPaths.h"
#include "platform/SignalStop.h"
#include "platform/Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Before anything that can take time: a stop during start-up or a run still cleans up.
    SignalStop signalStop;
    QCoreApplication::setApplicationName(QStringLiteral("veltaro-cli"));
    QCoreApplication::setApplicationVersion(ProgramVersion());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures how fast a folder's device writes and reads."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The folder to test."));
    const QCommandLineOption multiple(QStringLiteral("multiple"), QStringLiteral("Run the multiple test."));
    const QCommandLineOption count({QStringLiteral("n"), QStringLiteral("count")}, QStringLiteral("Number of files."),
                                   QStringLiteral("count"), QStringLiteral("20"));
    const QCommandLineOption size({QStringLiteral("s"), QStringLiteral("size")},
                                  QStringLiteral("Size of each file in MB."), QStringLiteral("MB"),
                                  QStringLiteral("10"));
    const QCommandLineOption cache(QStringLiteral("cache"), QStringLiteral("Leave the system cache on."));
    const QCommandLineOption writeThrough(QStringLiteral("write-through"), QStringLiteral("Enable write through."));
    const QCommandLineOption lightPump(QStringLiteral("light-pump"), QStringLiteral("Increase test priority."));
    const QCommandLineOption logFile(QStringLiteral("log"), QStringLiteral("Write the result log file to the folder."));
    const QCommandLineOption lang(QStringLiteral("lang"),
                                  QStringLiteral("Language file (as the window: deutsch.lng from the current folder)."),
                                  QStringLiteral("file"), QStringLiteral("deutsch.lng"));
    const QCommandLineOption allowCache(QStringLiteral("allow-cache"),
                                        QStringLiteral("Run through the system cache when the folder refuses to "
                                                       "bypass it, instead of refusing."));
    const QCommandLineOption readUncached(QStringLiteral("read-uncached"),
                                          QStringLiteral("Read from the device: drop the test files from the "
                                                         "cache before reading, and read past it."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print the run's record as JSON; the log goes to standard error."));
    parser.addOptions({multiple, count, size, cache, writeThrough, lightPump, logFile, lang, json, allowCache, readUncached});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    if (parser.value(lang).size() > 4)
        modLang::LoadLanguageFile(InstallPaths::LanguageFile(parser.value(lang)));

    HeadlessRunOptions options;
    options.folder = parser.positionalArguments().first();
    options.multiple = parser.isSet(multiple);
    options.count = parser.value(count);
    options.sizeMB = parser.value(size);
    options.disableCaching = !parser.isSet(cache);
    options.writeThrough = parser.isSet(writeThrough);
    options.lightPump = parser.isSet(lightPump);
    options.writeLogFile = parser.isSet(logFile);
    options.readUncached = parser.isSet(readUncached);

    // Held until the process ends: one run per folder.
    FolderLock lock;
    const QString path = HeadlessTargetPath(options.folder);
    const RunGuard::Check check = RunGuard::Before(path, HeadlessTargetAccepted(path), options.disableCaching, lock);
    if (check.verdict == RunGuard::Verdict::FolderBusy) {
        std::fprintf(stderr, "veltaro-cli: %s\n", qPrintable(LogFormatter::FolderBusy(path)));
        return 1;
    }
    if (check.verdict == RunGuard::Verdict::BypassRefused) {
        if (!parser.isSet(allowCache)) {
            std::fprintf(stderr, "veltaro-cli: %s %s\n", qPrintable(LogFormatter::BypassRefused(check.probe.error)),
                         qPrintable(LogFormatter::AllowCacheHint()));
            return 1;
        }
        options.directIoRefused = true;
    }

    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream &lines = parser.isSet(json) ? err : out;
    // Seen by the running phase at its next pump check; the clean-up then runs as after any stop.
    options.stopRequested = [&signalStop] { return signalStop.received() != 0; };
    QCoreApplication::processEvents();
    if (signalStop.received())
        return SignalStop::ExitCode(signalStop.received());
    const RunRecord record = RunHeadless(options, [&lines](const QString &line) { lines << line << Qt::endl; });
    if (parser.isSet(json))
        out << QString::fromUtf8(record.toJsonBytes()) << Qt::flush;
    QCoreApplication::processEvents();
    if (signalStop.received())
        return SignalStop::ExitCode(signalStop.received());

    const QString failedWrites = RunWarnings::FailedWritesText(record);
    if (!failedWrites.isEmpty()) {
        err << QStringLiteral("veltaro-cli: ") << failedWrites << Qt::endl;
        return 1;
    }
    const PhaseRecord *read = record.phase(PhaseKind::Read);
    return read && read->completed ? 0 : 1;
}
