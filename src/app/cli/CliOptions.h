#pragma once

#include <QString>
#include <QStringList>

// The runner's exit codes: scripts tell a stopped run from a failed one by them.
enum ExitCode : int {
    ExitComplete = 0,
    ExitFailed = 1, // the target refused, an access failure, values the engine rejects, blocks that failed
                    // verification
    ExitUsage = 2,  // the runner's own arguments
    ExitSigInt = 130,
    ExitSigTerm = 143,
};

enum class OutputFormat { Log, Json, Csv };

struct CliOptions {
    QString folder; // exactly as given: "/data " is not "/data"
    int count = 20;
    int sizeMB = 10;
    bool multiple = false;
    bool cache = false;
    bool writeThrough = false;
    bool lightPump = false;
    bool resultLog = false;
    bool verify = false; // blocks carry a pattern of their place, checked on reading
    bool fill = false;   // count and size from the free space, as the window's proposal
    QString lang = QStringLiteral("deutsch.lng");
    OutputFormat format = OutputFormat::Log;
    QString output; // empty: standard output
    bool fio = false;
    bool quiet = false;
    bool noHistory = false;
    bool allowCache = false;
    bool readUncached = false;
    QStringList profiles;     // --profile, repeatable: named profiles of the profile test
    QStringList profileSpecs; // --profile-spec, repeatable: profiles given as text
    bool threads = false;     // the profile test's thread engine even where io_uring works
    QString saveProfile;      // --save-profile "name=spec": store a profile, run nothing
    bool help = false;
    bool version = false;
};

struct CliParse {
    CliOptions options;
    QString error; // one line naming the problem; empty when the arguments are usable
};

namespace CliArgs {

constexpr int kMaxValue = 32000;

// Checks the arguments (without the program name) strictly: unknown options, counts and sizes
// that are not whole numbers from 1 to 32000, conflicting outputs, folders that do not exist.
CliParse Parse(const QStringList &arguments);

// Whole number from 1 to 32000 written with digits only: no sign, fraction, blank or suffix.
bool StrictCount(const QString &text, int &value);

QString HelpText();
QString VersionText();

} // namespace CliArgs
