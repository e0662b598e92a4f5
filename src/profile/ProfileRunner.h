#pragma once

#include "profile/IoEngine.h"
#include "profile/ProfileSpec.h"

#include <QList>
#include <QString>
#include <functional>

namespace Profiles {

struct ProfileOptions {
    bool directIo = true;      // O_DIRECT: the system cache disabled for the test files
    bool writeThrough = false; // O_DSYNC
    EngineChoice engine = EngineChoice::Auto;
    bool warmUp = true;
    bool keepFiles = false; // for checks of what was written; a run for the user always deletes
    int pollMs = 10;
};

// One counted pass. MB are 1 048 576 bytes, as everywhere in the program.
struct PassFigures {
    int64_t bytes = 0;
    int64_t ios = 0;
    int64_t failures = 0;
    int firstErrno = 0;
    double seconds = 0;
    double mbps = 0;
    double iops = 0;
    LatencyHistogram latency; // every block's time from its submission to its completion
};

struct ProfileOutcome {
    ProfileSpec spec; // with the file size the run used
    QString engine;   // "io_uring" or "threads"
    int uringErrno = 0; // why io_uring was not used, when it was not forced off
    bool hugePageBuffers = false; // every job's buffers in huge pages
    QList<PassFigures> passes;
    bool stopped = false;
    ProfileError error;

    double bestMbps() const;
    double meanMbps() const;
    double bestIops() const;
    double meanIops() const;
};

// Runs profiles in a folder: creates one file per job to its size, runs a warm-up pass that is
// not counted and then the counted passes, and deletes the files. The I/O runs on worker threads;
// poll runs on the caller's thread every pollMs and between chunks of the file creation, so a
// window stays responsive; when it returns true the profile stops at once.
class ProfileRunner {
public:
    using Poll = std::function<bool()>;

    ProfileRunner(const QString &folder, const ProfileOptions &options, Poll poll);
    ProfileOutcome run(const ProfileSpec &spec);

    // The test file of a job (0-based) in folder.
    static QString FilePath(const QString &folder, int job);

private:
    bool createFiles(ProfileOutcome &out, QList<int> &fds);
    bool runPass(ProfileOutcome &out, std::vector<std::unique_ptr<IoJob>> &jobs,
                 std::vector<std::unique_ptr<IoEngine>> &engines, uint64_t tag, int64_t bytes, int durationMs,
                 PassTally &total);

    QString m_folder;
    ProfileOptions m_options;
    Poll m_poll;
};

} // namespace Profiles
