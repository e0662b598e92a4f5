#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

// A small HTTP server on 127.0.0.1 that answers every request with one fixed response, or never
// answers at all. It runs in the test's own thread, served by whatever event loop is running.
class HttpTestServer : public QObject {
public:
    struct Response {
        int status = 200;
        QByteArray body;
        QByteArray headers;  // extra header lines, each ending in CR LF
        bool silent = false; // accept the connection and the request, never answer
    };

    HttpTestServer();

    QString url(const QString &path = QStringLiteral("/download/Veltaro.zip.ver")) const;
    void respond(const Response &response) { m_response = response; }
    void respondBody(const QByteArray &body) { m_response = Response{200, body, {}, false}; }
    int requests() const { return m_requests; }
    void resetRequests() { m_requests = 0; }

private:
    void accept();
    void answer(QTcpSocket *socket, QByteArray &pending);

    QTcpServer m_server;
    Response m_response;
    int m_requests = 0;
};
