#include "platform/net/InetTransfer.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace {

constexpr int kMaxRedirects = 5;

struct DeleteLater {
    void operator()(QObject *object) const { object->deleteLater(); }
};

// Shows the busy cursor for as long as the guard lives.
class BusyCursor {
public:
    BusyCursor() : m_active(qGuiApp != nullptr)
    {
        if (m_active)
            QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    }
    ~BusyCursor()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    bool m_active;
};

} // namespace

InetTransfer::InetTransfer(QObject *parent) : QObject(parent), m_manager(new QNetworkAccessManager(this)) {}

InetTransfer::~InetTransfer() = default;

InetTransfer::Result InetTransfer::OpenURL(const QString &url)
{
    Result result;
    const QUrl address(url);
    if (m_busy || !address.isValid()) {
        result.error = m_busy ? QStringLiteral("an earlier request is still open") : address.errorString();
        return result;
    }
    m_busy = true;
    const BusyCursor cursor;
    int attempts = 0;
    for (;;) {
        Attempt a = attempt(address);
        result = std::move(a.result);
        result.attempts = ++attempts;
        if (result.status != Status::Failed || !a.worthRetry || attempts > m_retries)
            break;
    }
    m_busy = false;
    return result;
}

InetTransfer::Attempt InetTransfer::attempt(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(m_manager->get(request));

    QByteArray data;
    bool tooLarge = false;
    bool timedOut = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        data += reply->readAll();
        if (data.size() > m_maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(m_timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();

    Attempt a;
    if (!reply->isFinished()) {
        // The loop was ended from outside: the application is quitting.
        disconnect(reply.get(), nullptr, &loop, nullptr);
        reply->abort();
        a.result.status = Status::Interrupted;
        a.result.error = QStringLiteral("interrupted");
        return a;
    }
    if (!tooLarge && reply->isOpen())
        data += reply->readAll();

    const int httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (timedOut) {
        a.result.error = QStringLiteral("no answer within %1 ms").arg(m_timeoutMs);
        a.worthRetry = true;
    } else if (tooLarge) {
        a.result.error = QStringLiteral("more than %1 bytes").arg(m_maxBytes);
    } else if (reply->error() != QNetworkReply::NoError) {
        a.result.error = reply->errorString();
        // A refused request or a redirect loop answers the same way again; a lost connection or a
        // failing server may not.
        const bool redirectFault = reply->error() == QNetworkReply::TooManyRedirectsError ||
                                   reply->error() == QNetworkReply::InsecureRedirectError;
        a.worthRetry = !redirectFault && (httpStatus == 0 || httpStatus >= 500);
    } else {
        a.result.status = Status::Ok;
        a.result.data = std::move(data);
    }
    return a;
}
