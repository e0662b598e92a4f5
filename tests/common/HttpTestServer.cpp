#include "HttpTestServer.h"

#include <QTcpSocket>
#include <memory>

HttpTestServer::HttpTestServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto pending = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, pending] { answer(socket, *pending); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString HttpTestServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/download/Veltaro.zip.ver").arg(m_server.serverPort());
}

void HttpTestServer::answer(QTcpSocket *socket, QByteArray &pending)
{
    pending += socket->readAll();
    if (!pending.contains("\r\n\r\n"))
        return;
    // One request per connection: whatever follows goes unanswered and uncounted.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    ++m_requests;
    if (m_response.silent)
        return; // the socket stays open until the client gives up
    socket->write("HTTP/1.1 " + QByteArray::number(m_response.status) + " Test\r\nContent-Type: text/plain\r\n" +
                  "Content-Length: " + QByteArray::number(m_response.body.size()) + "\r\nConnection: close\r\n" +
                  m_response.headers + "\r\n" + m_response.body);
    socket->disconnectFromHost();
}
