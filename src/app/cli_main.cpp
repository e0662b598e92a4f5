// veltaro-cli: runs the single or the multiple test on a folder without a window and prints the log.
#include "app/cli_profile.h"
#include "engine/HeadlessRun.h"
#include "platform/SignalStop.h"
#include "lang/modLang.h"
#include "platform/InstallPaths.h"
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
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print the run's record as JSON; the log goes to standard error."));
    const QCommandLineOption profile(QStringLiteral("profile"),
                                     QStringLiteral("Run a named profile (repeatable; \"standard\" runs all eight). "
                                                    "The file size is count x size MB."),
                                     QStringLiteral("name"));
    const QCommandLineOption profileSpec(QStringLiteral("profile-spec"),
                                         QStringLiteral("Run a profile given as text, e.g. \"rnd,read,4k,qd32,jobs1\"."),
                                         QStringLiteral("spec"));
    const QCommandLineOption threads(QStringLiteral("threads"),
                                     QStringLiteral("Profiles: use the thread engine even where io_uring works."));
    const QCommandLineOption saveProfile(QStringLiteral("save-profile"),
                                         QStringLiteral("Keep a profile of your own for --profile and the window, "
                                                        "e.g. \"db=rnd,mix70,8k,qd16\"; no folder needed."),
                                         QStringLiteral("name=spec"));
    parser.addOptions({multiple, count, size, cache, writeThrough, lightPump, logFile, lang, json, profile,
                       profileSpec, threads, saveProfile});
    parser.process(app);
    if (parser.isSet(saveProfile))
        return SaveUserProfile(parser.value(saveProfile));
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

    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream &lines = parser.isSet(json) ? err : out;
    // Seen by the running phase at its next pump check; the clean-up then runs as after any stop.
    options.stopRequested = [&signalStop] { return signalStop.received() != 0; };
    QCoreApplication::processEvents();
    if (signalStop.received())
        return SignalStop::ExitCode(signalStop.received());
    const auto onLine = [&lines](const QString &line) { lines << line << Qt::endl; };
    if (parser.isSet(profile) || parser.isSet(profileSpec)) {
        RunRecord record;
        const int code = RunProfiles(parser.values(profile), parser.values(profileSpec), parser.isSet(threads),
                                     options, onLine, record);
        if (parser.isSet(json))
            out << QString::fromUtf8(record.toJsonBytes()) << Qt::flush;
        return signalStop.received() ? SignalStop::ExitCode(signalStop.received()) : code;
    }
    const RunRecord record = RunHeadless(options, onLine);
    if (parser.isSet(json))
        out << QString::fromUtf8(record.toJsonBytes()) << Qt::flush;
    QCoreApplication::processEvents();
    if (signalStop.received())
        return SignalStop::ExitCode(signalStop.received());

    const PhaseRecord *read = record.phase(PhaseKind::Read);
    return read && read->completed ? 0 : 1;
}
