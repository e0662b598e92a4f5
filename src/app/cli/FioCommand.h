#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The fio jobs that repeat a run's phases on the same folder: the same files (1.tst ... N.tst),
// sizes, 1 KiB blocks through read(2)/write(2), the same direct/dsync and read choices, files written
// one after another (single test) or one block each in turn (multiple test).
struct FioJob {
    QString phase;    // "write" or "read"
    QStringList argv; // argv[0] is "fio"
    QString shellLine() const;
};

struct FioSetup {
    bool multiple = false;
    int count = 0;
    int sizeMB = 0;
    QString folder;
    bool direct = true;        // the system cache bypassed (asked for and not refused by the folder)
    bool dsync = false;        // write through
    bool readUncached = false; // reads from the device: O_DIRECT with direct, else after dropping the pages
};

namespace FioCommand {

// Empty when the list of file names does not fit into one argument of a command line.
QList<FioJob> Jobs(const FioSetup &setup);

// One word for a POSIX shell: left bare when it is safe, single-quoted otherwise.
QString ShellQuote(const QString &word);

} // namespace FioCommand
