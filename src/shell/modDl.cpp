#include "shell/modDl.h"

#include "lang/modLang.h"
#include "platform/SafeOpen.h"
#include "platform/TextCodec.h"
#include "platform/net/InetTransfer.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/ShellOpen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace modDl {

namespace {

const QString kTitle = QStringLiteral("Veltaro");
const QString kCrLf = QStringLiteral("\r\n");

QString DecodeLine(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? DecodeWindows1252(bytes) : text;
}

// The value of a line that starts with key, or nothing.
std::optional<QString> ValueOf(const QByteArray &line, const char *key)
{
    if (!line.startsWith(key))
        return std::nullopt;
    return DecodeLine(line.mid(qstrlen(key)));
}

// A decimal number made of digits only; anything else is 0.
quint64 VersionPart(const QString &text)
{
    const QString part = text.trimmed();
    if (part.isEmpty() || !std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return 0;
    bool ok = false;
    const quint64 value = part.toULongLong(&ok);
    return ok ? value : 0;
}

// Boxes belong to the window that holds the transfer control.
int Show(const InetTransfer &transfer, const QString &prompt, int style, const QString &title)
{
    return MsgBox(prompt, style, title, qobject_cast<QWidget *>(transfer.parent()));
}

// Only a web address goes to the browser: a local path there could start a program.
bool IsWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

QString Lang(int number, bool lead = false)
{
    return LangText(number, lead, false, false, QString());
}

} // namespace

UpdateInfo ParseUpdateInfo(const QByteArray &data)
{
    UpdateInfo info;
    qsizetype pos = 0;
    for (int lines = 0; pos < data.size() && lines < kMaxInfoLines; ++lines) {
        qsizetype end = pos;
        while (end < data.size() && data[end] != '\n' && data[end] != '\r')
            ++end;
        const QByteArray line = data.mid(pos, end - pos);
        pos = (end + 1 < data.size() && data[end] == '\r' && data[end + 1] == '\n') ? end + 2 : end + 1;

        if (auto v = ValueOf(line, "Current Version="))
            info.CurrentVersion = *v;
        else if (auto v = ValueOf(line, "Download="))
            info.Download = *v;
        else if (auto v = ValueOf(line, "Description="))
            info.Description = *v;
        else if (auto v = ValueOf(line, "Message="))
            info.Message = *v;
        else if (auto v = ValueOf(line, "Error=")) {
            // A value that is not a 16-bit whole number leaves the earlier mode.
            bool ok = false;
            const int mode = v->trimmed().toInt(&ok);
            if (ok && mode >= -32768 && mode <= 32767)
                info.ErrorMode = mode;
        }
    }
    return info;
}

QString VersionNumber::toString() const
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

VersionNumber SplitVersion(const QString &text)
{
    VersionNumber version;
    const qsizetype first = text.indexOf(u'.');
    if (first < 0) {
        version.major = VersionPart(text);
        return version;
    }
    version.major = VersionPart(text.left(first));
    const qsizetype second = text.indexOf(u'.', first + 1);
    if (second < 0) {
        version.minor = VersionPart(text.mid(first + 1));
        return version;
    }
    version.minor = VersionPart(text.mid(first + 1, second - first - 1));
    version.revision = VersionPart(text.mid(second + 1));
    return version;
}

VersionNumber RunningVersion()
{
    return {VELTARO_VERSION_MAJOR, VELTARO_VERSION_MINOR, VELTARO_VERSION_REVISION};
}

QString UpdateTempFile(const QString &programFolder)
{
    const QString name = QStringLiteral("VTemp.txt");
    const QFileInfo folder(programFolder);
    if (!programFolder.isEmpty() && folder.isDir() && folder.isWritable())
        return QDir(programFolder).filePath(name);
    QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache))
        cache = QDir::tempPath();
    return QDir(cache).filePath(name);
}

bool DownloadToFile(InetTransfer &transfer, const QString &url, const QString &fileName)
{
    if (transfer.StillExecuting())
        return false;
    const InetTransfer::Result fetched = transfer.OpenURL(url);
    if (fetched.status == InetTransfer::Status::Interrupted)
        return false;
    if (fetched.status == InetTransfer::Status::Ok) {
        // A link under the name is not followed, so the body cannot overwrite the link's target.
        const int fd = SafeOpen::OpenRegular(fileName, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QFile file;
        if (fd >= 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle) &&
            file.write(fetched.data) == fetched.data.size() && file.flush()) {
            file.close();
            return true;
        }
        if (fd >= 0) {
            if (!file.isOpen())
                ::close(fd);
            QFile::remove(fileName);
        }
    }
    Show(transfer, kTransferError, MsgBoxStyle::Information, kTitle);
    return false;
}

void CheckForUpdate(InetTransfer &transfer, const QString &url, const QString &temp, bool interactive)
{
    UpdateInfo info;
    // The file goes into a folder only this user can enter, made afresh beside where it is asked for,
    // so nothing placed there beforehand is written through or read; the folder goes with it.
    std::optional<QTemporaryDir> privateFolder;
    privateFolder.emplace(QFileInfo(temp).absolutePath() + QStringLiteral("/VTemp-XXXXXX"));
    if (!privateFolder->isValid())
        privateFolder.emplace();
    const QString file = privateFolder->filePath(QFileInfo(temp).fileName());
    if (privateFolder->isValid() && DownloadToFile(transfer, url, file)) {
        QByteArray body;
        if (SafeOpen::ReadRegular(file, transfer.maxBytes(), body))
            info = ParseUpdateInfo(body);
        QFile::remove(file);
    }

    const QUrl download(info.Download.trimmed(), QUrl::StrictMode);
    if (info.Download.isEmpty() || info.CurrentVersion.isEmpty() || !IsWebAddress(download)) {
        if (interactive)
            Show(transfer, Lang(50), MsgBoxStyle::Critical, kTitle);
        return;
    }

    const VersionNumber announced = SplitVersion(info.CurrentVersion);
    const VersionNumber running = RunningVersion();
    const bool newer = announced > running;

    const bool notice = info.ErrorMode == 1 || ((info.ErrorMode == 0 || info.ErrorMode == 2) && newer);
    if (!info.Message.isEmpty() && interactive && notice)
        Show(transfer, info.Message, MsgBoxStyle::Information, kTitle);

    if (newer) {
        const QString prompt = Lang(43) + announced.toString() + kCrLf + Lang(44) + running.toString() + kCrLf + kCrLf +
                               Lang(45) + Lang(46, true);
        if (Show(transfer, prompt, MsgBoxStyle::YesNo | MsgBoxStyle::Information, Lang(45)) == MsgBoxResult::Yes)
            OpenWebAddress(download);
    } else if (interactive) {
        Show(transfer, Lang(47) + Lang(48, true), MsgBoxStyle::Information, Lang(47));
    }
}

} // namespace modDl
