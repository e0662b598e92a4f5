#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

// An HTTP server on 127.0.0.1 answering every request with one fixed response, served by whatever
// event loop the test runs. One request per connection: whatever follows goes unanswered and uncounted.
class HttpTestServer : public QObject {
public:
    struct Response {
        int status = 200;
        QByteArray body;
        QByteArray headers;  // extra header lines, each ending in CR LF
        bool silent = false; // read the request, never answer
    };

    HttpTestServer()
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

    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/download/Veltaro.zip.ver").arg(m_server.serverPort());
    }
    // Sets the response and starts counting requests anew.
    void respond(const Response &response) { m_response = response, m_requests = 0; }
    void respondBody(const QByteArray &body) { respond({200, body, {}, false}); }
    int requests() const { return m_requests; }

private:
    void answer(QTcpSocket *socket, QByteArray &pending)
    {
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n"))
            return;
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
        ++m_requests;
        if (m_response.silent)
            return; // the socket stays open until the client gives up
        socket->write("HTTP/1.1 " + QByteArray::number(m_response.status) + " Test\r\nContent-Type: text/plain\r\n" +
                      "Content-Length: " + QByteArray::number(m_response.body.size()) + "\r\nConnection: close\r\n" +
                      m_response.headers + "\r\n" + m_response.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    Response m_response;
    int m_requests = 0;
};
