// veltaro-cli: runs the single or the multiple test on a folder without a window, for scripts.
#include "app/cli/CliOptions.h"
#include "app/cli/CliRun.h"
#include "app/cli_profile.h"
#include "platform/SignalStop.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Before anything that can take time: a stop during start-up or a run still cleans up.
    SignalStop signalStop;
    QCoreApplication::setApplicationName(QStringLiteral("veltaro-cli"));

    // Qt decodes the arguments as UTF-8: a name with other bytes would reach the file system as
    // another name, a folder said not to exist or an output file of a name nobody asked for.
    for (int i = 1; i < argc; ++i) {
        if (QFile::encodeName(QFile::decodeName(argv[i])) != QByteArray(argv[i])) {
            std::fprintf(stderr, "veltaro-cli: the argument \"%s\" is not valid UTF-8; such a name cannot be used\n",
                         argv[i]);
            return ExitUsage;
        }
    }
    const CliParse parse = CliArgs::Parse(app.arguments().mid(1));
    if (!parse.error.isEmpty()) {
        std::fprintf(stderr, "veltaro-cli: %s\nTry 'veltaro-cli --help'.\n", qPrintable(parse.error));
        return ExitUsage;
    }
    const CliOptions &o = parse.options;
    if (o.help || o.version) {
        std::fputs(qPrintable(o.help ? CliArgs::HelpText() : CliArgs::VersionText()), stdout);
        return ExitComplete;
    }
    if (!o.saveProfile.isEmpty())
        return SaveUserProfile(o.saveProfile);
    if (o.fio)
        return CliRun::PrintFio(o);
    if (!o.profiles.isEmpty() || !o.profileSpecs.isEmpty())
        return CliRun::RunProfileTest(o, signalStop);
    return CliRun::Run(o, signalStop);
}
