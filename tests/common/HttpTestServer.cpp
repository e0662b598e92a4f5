#include "HttpTestServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <memory>

HttpTestServer::HttpTestServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, &HttpTestServer::accept);
}

QString HttpTestServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

void HttpTestServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        auto pending = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, pending] { answer(socket, *pending); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HttpTestServer::answer(QTcpSocket *socket, QByteArray &pending)
{
    pending += socket->readAll();
    if (!pending.contains("\r\n\r\n"))
        return;
    // One request per connection: whatever the client sends after it goes unanswered and uncounted.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    ++m_requests;
    if (m_response.silent)
        return; // the socket stays open until the client gives up
    QByteArray head = "HTTP/1.1 " + QByteArray::number(m_response.status) + " Test\r\n";
    head += "Content-Type: text/plain\r\nContent-Length: " + QByteArray::number(m_response.body.size()) + "\r\n";
    head += "Connection: close\r\n" + m_response.headers + "\r\n";
    socket->write(head);
    socket->write(m_response.body);
    socket->disconnectFromHost();
}
