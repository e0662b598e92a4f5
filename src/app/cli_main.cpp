// veltaro-cli: runs the single or the multiple test on a folder without a window and prints the log.
#include "app/cli_profile.h"
#include "engine/HeadlessContext.h"
#include "platform/InstallPaths.h"
#include "platform/Version.h"
#include "shell/lang/modLang.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
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
    const QCommandLineOption profile(QStringLiteral("profile"),
                                     QStringLiteral("Run a named profile (repeatable; \"standard\" runs all eight). "
                                                    "The file size is count x size MB."),
                                     QStringLiteral("name"));
    const QCommandLineOption profileSpec(QStringLiteral("profile-spec"),
                                         QStringLiteral("Run a profile given as text, e.g. \"rnd,read,4k,qd32,jobs1\"."),
                                         QStringLiteral("spec"));
    const QCommandLineOption threads(QStringLiteral("threads"),
                                     QStringLiteral("Profiles: use the thread engine even where io_uring works."));
    parser.addOptions({multiple, count, size, cache, writeThrough, lightPump, logFile, lang, profile, profileSpec,
                       threads});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    if (parser.value(lang).size() > 4)
        modLang::LoadLanguageFile(InstallPaths::LanguageFile(parser.value(lang)));

    HeadlessContext ctx;
    ctx.Drive1Text = parser.positionalArguments().first();
    ctx.Txt1Text = parser.value(count);
    ctx.Txt2Text = parser.value(size);
    ctx.chkDisableCaching = !parser.isSet(cache);
    ctx.chkEnableWriteThrough = parser.isSet(writeThrough);
    ctx.ChkDoEvents = parser.isSet(lightPump);
    ctx.Chk11 = parser.isSet(logFile);

    // Every logged line as it comes; the panel's "<clear>" has no meaning here.
    QTextStream out(stdout);
    ctx.OnLog = [&out](const QString &line) {
        if (line != QLatin1String("<clear>"))
            out << line << Qt::endl;
    };
    if (parser.isSet(profile) || parser.isSet(profileSpec))
        return RunProfiles(parser, profile, profileSpec, threads, ctx);
    if (parser.isSet(multiple))
        StartMultiple(ctx);
    else
        StartSingle(ctx);

    const RunResults &r = ctx.Figures;
    const bool measured = parser.isSet(multiple) ? r.MultiReadRate > 0 : r.SingleReadRate > 0;
    return measured ? 0 : 1;
}
