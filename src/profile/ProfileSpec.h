#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// One profile of the profile test: what is transferred, how, and for how long.
struct ProfileSpec {
    enum class Pattern { Sequential, Random };
    enum class Access { Read, Write, Mix };

    static constexpr qint64 kMinBlock = 4096;
    static constexpr qint64 kMaxBlock = 8 << 20;
    static constexpr int kMaxDepth = 256;
    static constexpr int kMaxJobs = 16;
    static constexpr int kMaxPasses = 100;
    // Buffers of one job live for the whole profile: depth x block stays below this.
    static constexpr qint64 kMaxQueueBytes = qint64(256) << 20;

    QString name; // a standard or user profile's name; empty for one typed by hand
    Pattern pattern = Pattern::Sequential;
    Access access = Access::Read;
    int readShare = 100; // percent of reads when access is Mix
    qint64 blockSize = 1 << 20;
    int depth = 1;
    int jobs = 1;
    qint64 fileSize = 0; // bytes per job's file; 0 until the runner or the user sets it
    int durationMs = 5000;
    qint64 bytes = 0; // when above 0, a pass ends after this many bytes instead of the duration
    int passes = 2;

    bool operator==(const ProfileSpec &) const = default;
};

// Why a profile was refused; the value it was refused for goes with it.
struct ProfileError {
    enum Code {
        None,
        UnknownToken,   // a word of the profile text that means nothing
        BlockSize,      // not a power of two within 4 KiB..8 MiB
        BlockAboveFile, // larger than the file
        Depth,          // 0 or above 256
        Jobs,           // 0 or above 16
        Passes,
        Limit,         // neither a duration nor a byte count
        QueueTooLarge, // depth x block above the limit
        UnknownName,
        BadName, // a user profile's name: not letters, digits, "-", "_", "." or a standard one's
        FileSize,
        // Met when the run starts; value is the path, sysErrno the system's reason.
        NoDirectIo, // the target refuses O_DIRECT
        NoSpace,    // the files would not fit
        CreateFailed,
        IoFailed,
        NotStored, // a user profile: the settings file at value cannot be written
    };
    Code code = None;
    QString value;
    int sysErrno = 0;

    explicit operator bool() const { return code != None; }
};

namespace Profiles {

// Parses "rnd,read,4k,qd32,jobs1": pattern seq|rnd, read|write|mix<read %>, block size
// <n>k|<n>m, qd<depth>, jobs<n>, and optionally size<n>k|m|g, <n>s or <n>ms, bytes<n>k|m|g,
// passes<n>. Words not given keep the values of base. Checks the result as Validate does.
ProfileError Parse(const QString &text, ProfileSpec &spec, const ProfileSpec &base = ProfileSpec());
// The text Parse reads back into the same spec (the name aside).
QString Format(const ProfileSpec &spec);
// Checks the ranges; fileSize 0 is taken as not yet known.
ProfileError Validate(const ProfileSpec &spec);

// The eight profiles that ship: seq 1 MiB at depth 8 and 1, rnd 4 KiB at depth 32 and 1, each
// read and write, named like "seq1m-qd8-read".
QList<ProfileSpec> Standard();
// A standard or user profile by name (letter case ignored); "standard" names the whole set.
ProfileError Find(const QString &name, const QList<ProfileSpec> &userProfiles, QList<ProfileSpec> &found);

// Size words: 4k, 1m, 2g (binary), or plain bytes; -1 when the text is no size.
qint64 ParseSize(const QString &text);
QString SizeText(qint64 bytes);

} // namespace Profiles
