// veltaro-cli: runs the single or the multiple test on a folder without a window and prints the log.
#include "engine/HeadlessContext.h"
#include "profile/ProfileSession.h"
#include "profile/ProfileText.h"
#include "profile/UserProfiles.h"
#include "shell/lang/modLang.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {

// The profile test: the named and the typed profiles in the order given, each line to stdout.
int RunProfiles(const QCommandLineParser &parser, const QCommandLineOption &names, const QCommandLineOption &specs,
                const QCommandLineOption &threads, HeadlessContext &ctx)
{
    QTextStream out(stdout);
    Profiles::Session session;
    session.log = [&out](const QString &line) { out << line << Qt::endl; };
    const QList<ProfileSpec> user = UserProfiles::Load();
    for (const QString &name : parser.values(names)) {
        if (const ProfileError e = Profiles::Find(name, user, session.specs)) {
            session.log(ProfileText::Error(e));
            return 2;
        }
    }
    for (const QString &text : parser.values(specs)) {
        ProfileSpec spec;
        if (const ProfileError e = Profiles::Parse(text, spec)) {
            session.log(ProfileText::Error(e));
            return 2;
        }
        session.specs << spec;
    }
    int32_t count = 0;
    int32_t sizeMB = 0;
    if (!RunDriver::ReadWholeNumber(ctx.Txt1Text, count) || !RunDriver::ReadWholeNumber(ctx.Txt2Text, sizeMB) ||
        count <= 0 || sizeMB <= 0) {
        session.log(ProfileText::Error({ProfileError::FileSize, ctx.Txt1Text + QLatin1Char('x') + ctx.Txt2Text}));
        return 2;
    }
    session.folder = ctx.Drive1Text.trimmed();
    session.fileSize = int64_t(count) * sizeMB * 1048576;
    session.options.directIo = ctx.chkDisableCaching;
    session.options.writeThrough = ctx.chkEnableWriteThrough;
    if (parser.isSet(threads))
        session.options.engine = Profiles::EngineChoice::Threads;
    const QList<Profiles::ProfileOutcome> outcomes = session.run();
    const bool complete = outcomes.size() == session.specs.size() &&
                          std::all_of(outcomes.begin(), outcomes.end(),
                                      [](const auto &o) { return !o.error && !o.stopped; });
    return complete ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veltaro-cli"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures how fast a folder's device writes and reads."));
    parser.addHelpOption();
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
        modLang::LoadLanguageFile(parser.value(lang));

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
