#pragma once

#include <QObject>
#include <QTcpServer>

class QTcpSocket;

// An HTTP server on 127.0.0.1 answering every request with one fixed response, served by whatever
// event loop the test runs.
class HttpTestServer : public QObject {
public:
    struct Response {
        int status = 200;
        QByteArray body;
        QByteArray headers;  // extra header lines, each ending in CR LF
        bool silent = false; // read the request, never answer
    };

    HttpTestServer();
    QString url() const;
    // Sets the response and starts counting requests anew.
    void respond(const Response &response) { m_response = response, m_requests = 0; }
    void respondBody(const QByteArray &body) { respond({200, body, {}, false}); }
    int requests() const { return m_requests; }

private:
    void answer(QTcpSocket *socket, QByteArray &pending);

    QTcpServer m_server;
    Response m_response;
    int m_requests = 0;
};
