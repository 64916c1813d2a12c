#pragma once

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

// Readable failure messages for byte bodies.
inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"' << bytes.left(200).toStdString() << (bytes.size() > 200 ? "...\"" : "\"");
}

namespace DewlightUpdates::Testing {

// A tiny HTTP/1.1 server on 127.0.0.1 for the fetcher's tests. It records each request's head
// and hands the socket to `respond`; with a certificate and key it speaks TLS.
class TestHttpServer {
public:
    using Responder = std::function<void(QTcpSocket& socket, const QByteArray& request)>;

    TestHttpServer();
    TestHttpServer(const QSslCertificate& certificate, const QSslKey& key);
    ~TestHttpServer();

    void setResponder(Responder responder) { respond_ = std::move(responder); }
    // Answers every request with these bytes, then closes the connection.
    void respondWith(QByteArray raw);

    quint16 port() const { return server_->serverPort(); }
    QUrl url(const QString& path = QStringLiteral("/downloads/versions.json"),
             const QString& scheme = QStringLiteral("http")) const;
    const std::vector<QByteArray>& requests() const { return requests_; }

    // A whole response: status line, the given headers, a Content-Length, the body.
    static QByteArray response(int status, const QByteArray& body,
                               const QByteArray& extraHeaders = {});

private:
    void listen();
    void accept();

    std::unique_ptr<QTcpServer> server_;
    Responder respond_;
    std::vector<QByteArray> requests_;
};

// Sends `raw` to the socket and closes it once written.
void sendAndClose(QTcpSocket& socket, const QByteArray& raw);
// Sends `head`, then one body byte every `interval`, `count` bytes in all, then closes.
void trickle(QTcpSocket& socket, const QByteArray& head, int count,
             std::chrono::milliseconds interval);

} // namespace DewlightUpdates::Testing
