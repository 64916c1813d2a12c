#include "TestHttpServer.h"

#include <QSslConfiguration>
#include <QSslServer>
#include <QTimer>
#include <stdexcept>

namespace DewlightUpdates::Testing {

TestHttpServer::TestHttpServer() : server_(std::make_unique<QTcpServer>()) {
    listen();
}

TestHttpServer::TestHttpServer(const QSslCertificate& certificate, const QSslKey& key) {
    auto tls = std::make_unique<QSslServer>();
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    tls->setSslConfiguration(configuration);
    server_ = std::move(tls);
    listen();
}

TestHttpServer::~TestHttpServer() = default;

void TestHttpServer::listen() {
    QObject::connect(server_.get(), &QTcpServer::pendingConnectionAvailable, server_.get(),
                     [this] { accept(); });
    if (!server_->listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("the test server cannot listen on 127.0.0.1");
}

void TestHttpServer::accept() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        socket->setParent(server_.get());
        auto head = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
            if (head->endsWith("\r\n\r\n"))
                return; // already answered; a body or a second request is not expected
            *head += socket->readAll();
            const qsizetype end = head->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            head->truncate(end + 4);
            requests_.push_back(*head);
            if (respond_)
                respond_(*socket, *head);
        });
    }
}

void TestHttpServer::respondWith(QByteArray raw) {
    setResponder([raw](QTcpSocket& socket, const QByteArray&) { sendAndClose(socket, raw); });
}

QUrl TestHttpServer::url(const QString& path, const QString& scheme) const {
    QUrl url;
    url.setScheme(scheme);
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(port());
    url.setPath(path);
    return url;
}

QByteArray TestHttpServer::response(int status, const QByteArray& body,
                                    const QByteArray& extraHeaders) {
    return "HTTP/1.1 " + QByteArray::number(status) + " Status\r\n" + extraHeaders +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

void sendAndClose(QTcpSocket& socket, const QByteArray& raw) {
    socket.write(raw);
    socket.disconnectFromHost();
}

void trickle(QTcpSocket& socket, const QByteArray& head, int count,
             std::chrono::milliseconds interval) {
    socket.write(head);
    auto* timer = new QTimer(&socket);
    auto sent = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, &socket, [&socket, timer, sent, count] {
        if (*sent == count) {
            timer->stop();
            socket.disconnectFromHost();
            return;
        }
        socket.write("x");
        ++*sent;
    });
    timer->start(interval);
}

} // namespace DewlightUpdates::Testing
