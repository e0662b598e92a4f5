#include "app/cli/CliOptions.h"

#include "platform/Version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace CliArgs {

namespace {

struct Options {
    QCommandLineOption multiple{QStringLiteral("multiple")};
    QCommandLineOption count{{QStringLiteral("n"), QStringLiteral("count")}, {}, QStringLiteral("count")};
    QCommandLineOption size{{QStringLiteral("s"), QStringLiteral("size")}, {}, QStringLiteral("MB")};
    QCommandLineOption cache{QStringLiteral("cache")};
    QCommandLineOption writeThrough{QStringLiteral("write-through")};
    QCommandLineOption lightPump{QStringLiteral("light-pump")};
    QCommandLineOption log{QStringLiteral("log")};
    QCommandLineOption verify{QStringLiteral("verify")};
    QCommandLineOption fill{QStringLiteral("fill")};
    QCommandLineOption lang{QStringLiteral("lang"), {}, QStringLiteral("file")};
    QCommandLineOption json{QStringLiteral("json")};
    QCommandLineOption csv{QStringLiteral("csv")};
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")}, {}, QStringLiteral("file")};
    QCommandLineOption fio{QStringLiteral("fio")};
    QCommandLineOption quiet{{QStringLiteral("q"), QStringLiteral("quiet")}};
    QCommandLineOption noHistory{QStringLiteral("no-history")};
    QCommandLineOption allowCache{QStringLiteral("allow-cache")};
    QCommandLineOption readUncached{QStringLiteral("read-uncached")};
    QCommandLineOption profile{QStringLiteral("profile"), {}, QStringLiteral("name")};
    QCommandLineOption profileSpec{QStringLiteral("profile-spec"), {}, QStringLiteral("spec")};
    QCommandLineOption threads{QStringLiteral("threads")};
    QCommandLineOption saveProfile{QStringLiteral("save-profile"), {}, QStringLiteral("name=spec")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")}};

    QList<QCommandLineOption> all() const
    {
        return {multiple, count,     size,       cache,        writeThrough, lightPump, log,
                verify,   fill,      allowCache, readUncached, lang,         json,      csv,
                output,   fio,       quiet,      noHistory,    profile,      profileSpec,
                threads,  saveProfile, help,     version};
    }
};

} // namespace

bool StrictCount(const QString &text, int &value)
{
    if (text.isEmpty() || text.size() > 5)
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    value = text.toInt();
    return value >= 1 && value <= kMaxValue;
}

CliParse Parse(const QStringList &arguments)
{
    CliParse result;
    CliOptions &o = result.options;
    const Options opt;
    QCommandLineParser parser;
    parser.addOptions(opt.all());
    if (!parser.parse(QStringList{QStringLiteral("veltaro-cli")} + arguments)) {
        result.error = parser.errorText();
        return result;
    }
    o.help = parser.isSet(opt.help);
    o.version = parser.isSet(opt.version);
    if (o.help || o.version)
        return result;

    const QStringList given = parser.optionNames();
    for (const QCommandLineOption &option : opt.all()) {
        if (option.names() == opt.profile.names() || option.names() == opt.profileSpec.names())
            continue; // several profiles run one after the other
        qsizetype seen = 0;
        for (const QString &name : option.names())
            seen += given.count(name);
        if (seen > 1)
            return {o, QStringLiteral("--%1 is given more than once").arg(option.names().constLast())};
    }

    const auto number = [&](const QCommandLineOption &option, int &target, const char *what) {
        if (parser.isSet(option) && !StrictCount(parser.value(option), target))
            result.error = QStringLiteral("%1 \"%2\" is not a whole number from 1 to %3")
                               .arg(QLatin1String(what), parser.value(option))
                               .arg(kMaxValue);
        return result.error.isEmpty();
    };
    if (!number(opt.count, o.count, "count") || !number(opt.size, o.sizeMB, "size"))
        return result;

    o.multiple = parser.isSet(opt.multiple);
    o.cache = parser.isSet(opt.cache);
    o.writeThrough = parser.isSet(opt.writeThrough);
    o.lightPump = parser.isSet(opt.lightPump);
    o.resultLog = parser.isSet(opt.log);
    o.verify = parser.isSet(opt.verify);
    o.fill = parser.isSet(opt.fill);
    if (o.fill && (parser.isSet(opt.count) || parser.isSet(opt.size)))
        return {o, QStringLiteral("--fill sizes the files from the free space: no --count or --size with it")};
    o.fio = parser.isSet(opt.fio);
    o.quiet = parser.isSet(opt.quiet);
    o.noHistory = parser.isSet(opt.noHistory);
    o.allowCache = parser.isSet(opt.allowCache);
    o.readUncached = parser.isSet(opt.readUncached);
    if (parser.isSet(opt.saveProfile)) {
        o.saveProfile = parser.value(opt.saveProfile);
        return result; // stores a profile; no folder and no run
    }
    o.profiles = parser.values(opt.profile);
    o.profileSpecs = parser.values(opt.profileSpec);
    o.threads = parser.isSet(opt.threads);
    if (parser.isSet(opt.lang))
        o.lang = parser.value(opt.lang);
    if (parser.isSet(opt.json) && parser.isSet(opt.csv))
        return {o, QStringLiteral("--json and --csv would share one stream: choose one")};
    o.format = parser.isSet(opt.json)  ? OutputFormat::Json
               : parser.isSet(opt.csv) ? OutputFormat::Csv
                                       : OutputFormat::Log;
    if (o.fio && o.format != OutputFormat::Log)
        return {o, QStringLiteral("--fio prints commands only and does not combine with --json or --csv")};
    o.output = parser.value(opt.output);
    if (parser.isSet(opt.output)) {
        if (o.format == OutputFormat::Log)
            return {o, QStringLiteral("--output needs --json or --csv")};
        const QFileInfo out(o.output);
        if (o.output.isEmpty() || out.isDir())
            return {o, QStringLiteral("--output \"%1\" is no file name").arg(o.output)};
        if (!out.dir().exists())
            return {o, QStringLiteral("the folder of --output \"%1\" does not exist").arg(o.output)};
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return {o, positional.isEmpty() ? QStringLiteral("no folder to test")
                                        : QStringLiteral("one folder only, not %1").arg(positional.size())};
    o.folder = positional.first();
    if (!QFileInfo(o.folder).isDir())
        return {o, QStringLiteral("the folder \"%1\" does not exist").arg(o.folder)};
    return result;
}

QString HelpText()
{
    return QStringLiteral("Usage: veltaro-cli [options] FOLDER\n"
                          "Measures how fast the device holding FOLDER writes and reads: the single test writes the\n"
                          "test files one after another in 1024-byte blocks and reads them back; the multiple test\n"
                          "writes and reads all of them in turns. The test files 1.tst, 2.tst ... are deleted after\n"
                          "the run. MB means 1 048 576 bytes.\n"
                          "\n"
                          "Options:\n"
                          "  -n, --count N     number of test files, 1 to 32000 (default: 20)\n"
                          "  -s, --size MB     size of each file in MB, 1 to 32000 (default: 10)\n"
                          "  --multiple        run the multiple test (default: the single test)\n"
                          "  --cache           leave the system cache on (default: off, O_DIRECT writes)\n"
                          "  --write-through   write through, O_DSYNC (default: off)\n"
                          "  --light-pump      handle one event per pump check (default: all pending)\n"
                          "  --read-uncached   read from the device: drop the files from the cache between the\n"
                          "                    phases, read with O_DIRECT when the cache is off (default: off)\n"
                          "  --allow-cache     run through the cache where the folder refuses to bypass it\n"
                          "                    (default: refuse, exit 1)\n"
                          "  --log             append the result log file to FOLDER (default: off)\n"
                          "  --verify          write a pattern naming each block's place and check every block on\n"
                          "                    reading; damaged and misplaced blocks are counted (default: off)\n"
                          "  --fill            size the files from the free space of FOLDER, as the window's\n"
                          "                    proposal does, so the whole device is written (replaces -n, -s)\n"
                          "  --lang FILE       language file of the log lines (default: deutsch.lng, from the\n"
                          "                    current folder or the installed language folder; built-in\n"
                          "                    German texts without it)\n"
                          "  --json            write the run record as JSON to standard output; the log then\n"
                          "                    goes to standard error\n"
                          "  --csv             write one row per file and phase to standard output\n"
                          "  -o, --output FILE write the JSON or CSV to FILE instead, replaced atomically\n"
                          "  --profile NAME    run a profile of the profile test instead (repeatable; \"standard\"\n"
                          "                    runs the eight standard ones); each job's file is N x MB\n"
                          "  --profile-spec S  run a profile given as text, e.g. \"rnd,read,4k,qd32,jobs1\"\n"
                          "  --threads         profiles: the thread engine even where io_uring works\n"
                          "  --save-profile NAME=SPEC  keep a profile of your own for --profile and the window\n"
                          "  --fio             print the fio commands that reproduce each phase, run nothing\n"
                          "  -q, --quiet       no log and no progress line\n"
                          "  --no-history      do not keep the run in the history of runs (default: kept, as\n"
                          "                    the window keeps its runs)\n"
                          "  -v, --version     print the version\n"
                          "  -h, --help        print this help\n"
                          "\n"
                          "Without --json or --csv the log lines go to standard output. A progress line is shown\n"
                          "on standard error when it is a terminal.\n"
                          "\n"
                          "Exit codes:\n"
                          "  0    the run completed\n"
                          "  1    the run failed: target refused, access failure, values out of range, folder\n"
                          "       held by another run, cache bypass refused, writes failed, or with --verify a\n"
                          "       block that did not read back as written\n"
                          "  2    usage error: unknown option, a count or size that is not a whole number from\n"
                          "       1 to 32000, conflicting outputs, a folder that does not exist\n"
                          "  130  stopped by SIGINT; the test files are deleted and the record says stopped\n"
                          "  143  stopped by SIGTERM, likewise\n"
                          "  129  stopped by SIGHUP, likewise; a signal ignored when the runner starts (nohup)\n"
                          "       stays ignored\n"
                          "\n"
                          "See veltaro-cli(1) for the JSON fields.\n");
}

QString VersionText()
{
    return QStringLiteral("veltaro-cli %1\n").arg(ProgramVersion());
}

} // namespace CliArgs
