#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What can be learned without root about the file system and the disk that hold a folder. Every
// value that could not be read stays empty, so a record says "unknown" rather than a guess.
struct DeviceIdentity {
    // From /proc/self/mountinfo.
    std::optional<QString> mountPoint;
    std::optional<QString> fileSystem;
    std::optional<QString> mountSource;
    std::optional<QString> mountOptions; // per-mount options, then the super block's
    // The block devices from the mounted one down to the disk: "dm-0", "nvme0n1p3", "nvme0n1".
    QStringList deviceChain;
    // From sysfs, of the last device of the chain.
    std::optional<QString> blockDevice; // the disk, through partitions and mapped devices
    std::optional<QString> model;
    std::optional<QString> vendor;
    std::optional<QString> serial;
    std::optional<qint64> sizeBytes;
    std::optional<bool> rotational;
    std::optional<int> logicalBlockBytes;
    std::optional<int> physicalBlockBytes;
    std::optional<QString> scheduler; // the active one of queue/scheduler
    // From statvfs of the folder itself.
    std::optional<qint64> freeBytes;

    // Reads <root>proc/self/mountinfo and <root>sys; root is "/" on a running system, tests hand in
    // a folder of samples. The free space always comes from the real folder.
    bool operator==(const DeviceIdentity &) const = default;

    static DeviceIdentity Read(const QString &folder, const QString &root = QStringLiteral("/"));
};
