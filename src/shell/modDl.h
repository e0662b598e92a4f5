#pragma once

#include <QByteArray>
#include <QString>
#include <compare>

class InetTransfer;

// The update check: fetch the information file, compare versions, offer the download.
namespace modDl {

// The information file on the update server.
inline const QString kUpdateUrl = QStringLiteral("https://veltaro.tavrin.net/download/Veltaro.zip.ver");
inline const QString kTransferError =
    QStringLiteral("An error has occured in the file transfer or write.  Please try again later.");
constexpr int kMaxInfoLines = 4049;

// What the information file announces; empty texts where its key is missing.
struct UpdateInfo {
    QString CurrentVersion;
    QString Download;
    QString Description;
    QString Message;
    int ErrorMode = 0; // notice mode of "Error="
};

// Reads "key=value" lines, at most kMaxInfoLines of them, ending in CR LF, LF or CR. Keys match
// case-sensitively at the line start; a later line replaces an earlier value. Any bytes are accepted:
// text that is not UTF-8 is read as Windows-1252.
UpdateInfo ParseUpdateInfo(const QByteArray &data);

struct VersionNumber {
    quint64 major = 0;
    quint64 minor = 0;
    quint64 revision = 0;
    auto operator<=>(const VersionNumber &) const = default;
    QString toString() const;
};

// "major.minor.revision". A part that is not a decimal number (letters, blanks inside, empty because
// a "." is missing, too large) counts as 0, so "1.0" is 1.0.0 and "x.y.z" is 0.0.0.
VersionNumber SplitVersion(const QString &text);
VersionNumber RunningVersion();

// VTemp.txt in the program's folder when that is writable, else in the user's cache folder.
QString UpdateTempFile(const QString &programFolder);

// Fetches url into fileName, replacing it. On a transfer or write error shows kTransferError and
// returns false; also false, without a message, while the transfer is busy with an earlier request.
bool DownloadToFile(InetTransfer &transfer, const QString &url, const QString &fileName);

// Fetches url into tempFile (see UpdateTempFile), reads and deletes it, and tells the user. Interactive:
// the menu command, which reports every outcome. Otherwise only the question that offers a newer
// version is asked (and a failed transfer still reports itself through DownloadToFile). Message boxes
// are owned by the transfer control's window.
void CheckForUpdate(InetTransfer &transfer, const QString &url, const QString &tempFile, bool interactive = false);

} // namespace modDl
