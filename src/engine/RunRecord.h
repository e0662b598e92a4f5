#pragma once

#include "engine/LatencyHistogram.h"
#include "platform/DeviceIdentity.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

// Everything one run measured, as values: the source of the runner's JSON and CSV, the history,
// the charts and the comparisons. Text for people is made elsewhere, from events.
// Units: bytes, ms (the program's whole milliseconds), us (the monotonic clock's exact span) and
// MB = 1 048 576 bytes; the JSON names the unit in each field's name.
namespace RunUnits {
constexpr int64_t kBytesPerMB = 1048576;
constexpr int kBlockBytes = 1024;
} // namespace RunUnits

enum class RunKind { Single, Multiple, Profile };
enum class PhaseKind { Write, Read };
enum class RunStatus { Complete, Stopped, Failed };

struct RunOptions {
    bool writeLogFile = false;   // Chk11
    bool disableCaching = false; // chkDisableCaching
    bool writeThrough = false;   // chkEnableWriteThrough
    bool lightPump = false;      // ChkDoEvents
    bool readUncached = false;   // pages dropped between the phases, reads direct when uncached
    bool verifyData = false;     // blocks carry a pattern that the read phase checks
    bool operator==(const RunOptions &) const = default;
};

// Blocks that did not read back as written, when the run verified its data.
struct VerifyCounts {
    int64_t badBlocks = 0;       // content or checksum wrong
    int64_t misplacedBlocks = 0; // a sound block of another place
    std::optional<int64_t> firstBadOffset;
    bool operator==(const VerifyCounts &) const = default;
};

struct FileRecord {
    int32_t number = 0;
    bool timed = false;          // false: stopped or failed before its time was taken
    int32_t ms = 0;              // the figure of the log line
    int64_t us = 0;              // the same span, exact
    int64_t bytesRequested = 0;
    int64_t bytesTransferred = 0;
    int64_t failedCalls = 0;     // calls the system refused
    int64_t shortCalls = 0;      // calls that moved fewer bytes than asked
    int firstErrno = 0;          // of the first refused call; 0 when none
    std::optional<bool> directIo;       // O_DIRECT in force for this file
    std::optional<double> cachedShare;  // share of its pages in the page cache before reading (0 to 1)
    std::optional<LatencySummary> latency;
    std::optional<VerifyCounts> verify;
    bool operator==(const FileRecord &) const = default;
};

struct PhaseRecord {
    PhaseKind kind = PhaseKind::Write;
    bool completed = false;
    int32_t ms = 0;              // the phase's timed span: the sum of its files' in the single test
    int64_t us = 0;
    std::optional<double> averageSeconds;
    std::optional<double> rateMBps;
    int64_t bytesRequested = 0;
    int64_t bytesTransferred = 0;
    int64_t failedCalls = 0;
    int64_t shortCalls = 0;
    int firstErrno = 0;
    bool readUncached = false;   // pages were dropped before this phase read
    LatencyHistogram latency;
    std::vector<FileRecord> files;
    bool operator==(const PhaseRecord &) const = default;
};

// A fio job that repeats one phase on the same folder: its words, and the same as one shell line.
struct FioCommandRecord {
    PhaseKind phase = PhaseKind::Write;
    QStringList argv;
    QString command;
    bool operator==(const FioCommandRecord &) const = default;
};

// The profile test: one counted pass of a profile, and a profile with its passes.
struct ProfilePassRecord {
    int64_t bytes = 0;
    int64_t ios = 0;
    int64_t us = 0;
    double rateMBps = 0;
    double iops = 0;
    int64_t failedCalls = 0; // calls refused or short
    int firstErrno = 0;
    LatencyHistogram latency;
    bool operator==(const ProfilePassRecord &) const = default;
};

struct ProfileRecord {
    QString name;                // a standard or user profile's name; empty for a typed one
    QString spec;                // the profile as text, e.g. "rnd,read,4k,qd32,jobs1,size1g,5s,passes2"
    QString engine;              // "io_uring" or "threads"
    bool hugePageBuffers = false; // blocks came from huge pages: a large one went out unsplit
    int64_t fileSizeBytes = 0;   // of each job's file
    RunStatus status = RunStatus::Failed;
    QString reason;              // why it failed, when it did
    double bestMBps = 0;
    double meanMBps = 0;
    double bestIops = 0;
    double meanIops = 0;
    std::vector<ProfilePassRecord> passes;
    bool operator==(const ProfileRecord &) const = default;
};

struct RunOutcome {
    RunStatus status = RunStatus::Failed;
    QString reason; // a short code such as "access_failed"; empty for a complete run
    QString path;   // the path the reason is about, when there is one
    bool operator==(const RunOutcome &) const = default;
};

struct RunRecord {
    static constexpr int kSchemaVersion = 1;

    QString programVersion;      // major.minor.revision of the program that ran
    QByteArray runId;            // 16 hex digits, random per run
    QDateTime startedUtc;
    QDateTime endedUtc;
    QString target;              // the folder, ending in "/"
    RunKind kind = RunKind::Single;
    int32_t fileCount = 0;
    int32_t fileSizeMB = 0;
    RunOptions options;
    bool directIoRefused = false; // the cache was bypassed on request but the target refused it
    std::optional<DeviceIdentity> device; // read before the run: the free space is that of before
    std::vector<PhaseRecord> phases;
    std::vector<FioCommandRecord> fioCommands; // in the order they run; empty when no command line holds them
    RunOutcome outcome;
    bool testFilesDeleted = false;
    QString resultLogPath;       // empty when no result log was asked for
    bool resultLogWritten = false;
    QJsonObject extensions;      // sections of other test kinds, kept as they are
    std::vector<ProfileRecord> profiles; // the profile test's, in the order they ran

    // A fresh record for a run starting now: program version, id and start time set.
    static RunRecord begin(RunKind kind);

    PhaseRecord *phase(PhaseKind kind);
    const PhaseRecord *phase(PhaseKind kind) const;

    QJsonObject toJson() const;
    QByteArray toJsonBytes() const; // indented, ending in a newline
    // Nothing, with the reason in error, for text that is not a whole record of this program's
    // schema version.
    static std::optional<RunRecord> fromJson(const QJsonObject &json, QString *error = nullptr);
    static std::optional<RunRecord> fromJsonBytes(const QByteArray &bytes, QString *error = nullptr);

    bool operator==(const RunRecord &) const = default;
};

// The "profiles" array of the JSON form; reading fails with a reason for a malformed entry.
QJsonArray profilesToJson(const std::vector<ProfileRecord> &profiles);
bool profilesFromJson(const QJsonArray &json, std::vector<ProfileRecord> &profiles, QString *error);

QString toString(RunKind kind);
QString toString(PhaseKind kind);
QString toString(RunStatus status);
