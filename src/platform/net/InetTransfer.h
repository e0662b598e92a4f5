#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QUrl;

// The internet transfer control: fetches an address synchronously for its caller.
// While a request is open a local event loop keeps the windows painted; user input waits until the
// fetch ends, so nothing re-enters the caller. Each attempt has a deadline and a failed attempt is
// repeated a fixed number of times, so a fetch always ends.
class InetTransfer : public QObject {
    Q_OBJECT
public:
    enum class Status {
        Ok,
        Failed,
        Interrupted, // the application began to quit while the request was open
    };
    struct Result {
        Status status = Status::Failed;
        QByteArray data;
        QString error;    // what went wrong, for diagnostics
        int attempts = 0; // requests sent, retries included
    };

    static constexpr int kDefaultTimeoutMs = 15000;
    static constexpr int kDefaultRetries = 2;
    // A body beyond this is not what the caller asked for; the fetch fails instead of filling memory.
    static constexpr qint64 kDefaultMaxBytes = 64 * 1024 * 1024;

    explicit InetTransfer(QObject *parent = nullptr);
    ~InetTransfer() override;

    bool StillExecuting() const { return m_busy; }
    Result OpenURL(const QString &url);

    int timeoutMs() const { return m_timeoutMs; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    int retries() const { return m_retries; }
    void setRetries(int count) { m_retries = count; }
    qint64 maxBytes() const { return m_maxBytes; }
    void setMaxBytes(qint64 bytes) { m_maxBytes = bytes; }

private:
    struct Attempt {
        Result result;
        bool worthRetry = false;
    };
    Attempt attempt(const QUrl &url);

    QNetworkAccessManager *m_manager;
    int m_timeoutMs = kDefaultTimeoutMs;
    int m_retries = kDefaultRetries;
    qint64 m_maxBytes = kDefaultMaxBytes;
    bool m_busy = false;
};
