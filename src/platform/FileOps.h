#pragma once

#include <QString>

// The file operations of a run's clean-up and result log, each reporting by its result.
namespace FileOps {

bool PathFileExists(const QString &path);

// Deletes every plain file in folder whose name matches the wildcard (* and ?); false when no
// file matched or any matching file could not be deleted.
bool DeleteFiles(const QString &folder, const QString &pattern);

enum class DeleteResult { Deleted, Missing, Failed };
DeleteResult DeleteFile(const QString &path);

// Appends text (UTF-8) to the file, creating it when absent; false when it cannot be written or
// the name holds anything but a regular file (a link is not followed).
bool AppendTextFile(const QString &path, const QString &text);

} // namespace FileOps
