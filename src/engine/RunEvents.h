#pragma once

#include "engine/LatencyHistogram.h"
#include "engine/RunRecord.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

// What a run reports, as values. The phases and the two run drivers speak only through a
// RunEvents sink; the log lines are made from these above the engine, the run record by
// RecordBuilder.
enum class TestPhase { SingleWrite, SingleRead, MultiWrite, MultiRead };

inline bool IsWritePhase(TestPhase phase)
{
    return phase == TestPhase::SingleWrite || phase == TestPhase::MultiWrite;
}

enum class FailReason {
    AccessFailed,     // a file or the folder could not be used
    ValueOverflow,    // a figure does not fit the program's arithmetic
    TimerFailed,      // the clock could not be created or read
    LateCreateFailed, // a later test file could not be created; reported as the value text
    TargetRefused,    // the folder does not exist or is of a refused kind
    BadValues,        // count or size is not a usable number
};

struct RunStarted {
    bool multiple = false;
    QString target; // ends in "/"
    int32_t count = 0;
    int32_t sizeMB = 0;
    bool writeLogFile = false;
    bool disableCaching = false;
    bool writeThrough = false;
    bool lightPump = false;
    bool readUncached = false;    // test files dropped from the cache before the read phase
    bool directIoRefused = false; // the cache was to be bypassed, but the target refused it
    bool verifyData = false;
    QDateTime time;
    DeviceIdentity device; // of the target, read before the first write
};

// A file's figures. The multiple test times all its files in one span (file 0); each of its
// files then reports its figures untimed.
struct FileTimed {
    TestPhase phase = TestPhase::SingleWrite;
    int32_t file = 0;
    bool timed = true;
    int32_t ms = 0; // the log line's whole milliseconds
    int64_t us = 0; // the same span from the monotonic clock
    int64_t bytesRequested = 0;
    int64_t bytesTransferred = 0;
    int64_t failedCalls = 0;
    int64_t shortCalls = 0;
    int firstErrno = 0;
    const LatencyHistogram *latency = nullptr; // each block's system call; only during the call
    std::optional<bool> directIo;      // O_DIRECT in force for the file
    std::optional<double> cachedShare; // share of its pages cached when its read began
};

// A read file's blocks checked against the pattern they were written with.
struct FileVerified {
    TestPhase phase = TestPhase::SingleRead;
    int32_t file = 0;
    VerifyCounts counts;
    uint32_t firstOriginFile = 0; // where the first misplaced block was written, when there is one
    uint64_t firstOriginBlock = 0;
};

class RunEvents {
public:
    virtual ~RunEvents() = default;

    // A start command was given; the panel empties.
    virtual void runBegins(bool multiple) = 0;
    virtual void runStarted(const RunStarted &e) = 0;
    // A write phase starts its clock of the day.
    virtual void phaseStarted(TestPhase phase, const QDateTime &time) = 0;
    // The phase's volume is known: count files of totalMB in all.
    virtual void phaseSized(TestPhase phase, int32_t count, int32_t totalMB) = 0;
    // The multiple write phase has every file open and starts its blocks.
    virtual void blocksStarted(TestPhase phase) = 0;
    virtual void fileStarted(TestPhase phase, int32_t file) = 0;
    virtual void fileTimed(const FileTimed &e) = 0;
    virtual void shortRead(TestPhase phase, int32_t file, int64_t block, int32_t bytes) = 0;
    virtual void phaseFinished(TestPhase phase, double averageSeconds, double rateMBps, const QDateTime &time) = 0;
    virtual void stopped(TestPhase phase) = 0;
    virtual void failed(FailReason reason, const QString &path) = 0;
    // Both phases ran: the figures of the summary.
    virtual void runSummary(double writeSeconds, double writeRate, double readSeconds, double readRate) = 0;
    // file 0: the single test's "*.tst" could not all be deleted.
    virtual void cleanupFailed(int32_t file) = 0;
    virtual void cleanupDone(bool allDeleted) = 0;
    virtual void resultLogWritten(const QString &fileName, bool written) = 0;
    // The start command returns.
    virtual void runEnded() = 0;

    // Only a run that verifies its data reports these: each read file's counts, and with the
    // summary the number of blocks that did not read back as written.
    virtual void fileVerified(const FileVerified &) {}
    virtual void dataVerified(int64_t /*failedBlocks*/) {}
};
