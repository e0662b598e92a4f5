#pragma once

#include <QTcpServer>
#include <QTcpSocket>

// An HTTP server on 127.0.0.1 giving every request, one per connection, the response set by respond().
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
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1/Veltaro.zip.ver").arg(m_server.serverPort()); }
    void respond(const Response &response) { m_response = response, m_requests = 0; }
    void respondBody(const QByteArray &body) { respond({200, body, {}, false}); }
    int requests() const { return m_requests; } // since the last respond()

private:
    void answer(QTcpSocket *socket)
    {
        if (!socket->peek(1 << 16).contains("\r\n\r\n"))
            return; // the request is not complete yet
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
        ++m_requests;
        if (!m_response.silent) {
            socket->write("HTTP/1.1 " + QByteArray::number(m_response.status) +
                          " Test\r\nContent-Length: " + QByteArray::number(m_response.body.size()) +
                          "\r\nConnection: close\r\n" + m_response.headers + "\r\n" + m_response.body);
            socket->disconnectFromHost();
        }
    }

    QTcpServer m_server;
    Response m_response;
    int m_requests = 0;
};
