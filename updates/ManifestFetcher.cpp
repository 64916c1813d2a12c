#include "updates/ManifestFetcher.h"

#include "updates/UpdateFailure.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>
#include <memory>
#include <optional>
#include <qcoro/qcorosignal.h>

namespace DewlightUpdates {

namespace {

QNetworkRequest manifestRequest(const ManifestFetcher::Settings& settings) {
    QNetworkRequest request(settings.url);
    // Qt 6 follows redirects by default; a 3xx must arrive here as itself.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setRawHeader("User-Agent", "Norvane");
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("Accept-Language", "*");
    // Qt restarts this timer whenever data moves, which makes it the idle limit.
    request.setTransferTimeout(static_cast<int>(settings.idleTimeout.count()));
    // The size limit below ends a compressed body as soon as it unpacks past the limit; Qt's own
    // ratio check would fail such a reply a second time and leave it hanging until the idle limit.
    request.setDecompressedSafetyCheckThreshold(-1);
    if (!settings.extraTrustedRoots.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(settings.extraTrustedRoots);
        request.setSslConfiguration(tls);
    }
    return request;
}

bool isStatusOk(const QNetworkReply& reply) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && status.toInt() == 200;
}

} // namespace

QCoro::Task<QByteArray> ManifestFetcher::fetch() {
    // The frame keeps its own copy: nothing of the fetcher is touched after the first suspension.
    const Settings settings = settings_;
    if (!settings.url.isValid() || settings.url.isEmpty())
        throw UpdateFailureError(UpdateFailure::unreachable);

    QNetworkAccessManager network;
    network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);

    std::optional<UpdateFailure> failure;
    QByteArray body;
    QNetworkReply* current = nullptr;
    // The first failure ends the fetch, once: the reply is aborted after the signal that found
    // it returns, since Qt may still be unpacking a compressed body inside that signal.
    const auto fail = [&](UpdateFailure reason) {
        if (failure)
            return;
        failure = reason;
        QObject::disconnect(current, &QNetworkReply::readyRead, nullptr, nullptr);
        QMetaObject::invokeMethod(current, &QNetworkReply::abort, Qt::QueuedConnection);
    };
    const auto readAvailable = [&] {
        while (!failure && current->bytesAvailable() > 0) {
            body += current->read(settings.maximumBytes + 1 - body.size());
            if (body.size() > settings.maximumBytes)
                fail(UpdateFailure::unreadable);
        }
    };

    // Declared after what its handlers use, so it is destroyed before them.
    const std::unique_ptr<QNetworkReply> reply(network.get(manifestRequest(settings)));
    current = reply.get();
    // Qt stops reading from the socket once this much waits unread, so memory stays bounded.
    reply->setReadBufferSize(settings.maximumBytes + 1);

    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(), [&] {
        // Refuse any other status before reading its body.
        if (!failure && !isStatusOk(*reply))
            fail(UpdateFailure::unreachable);
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&] {
        if (!failure && !isStatusOk(*reply))
            fail(UpdateFailure::unreachable);
        readAvailable();
    });
    QTimer total;
    total.setSingleShot(true);
    QObject::connect(&total, &QTimer::timeout, reply.get(),
                     [&] { fail(UpdateFailure::unreachable); });
    total.start(settings.totalTimeout);

    // The signal is delivered queued, so the reply is never destroyed inside its own signal.
    if (!reply->isFinished())
        co_await qCoro(reply.get(), &QNetworkReply::finished);
    total.stop();

    if (!failure && isStatusOk(*reply))
        readAvailable();
    if (failure)
        throw UpdateFailureError(*failure);
    if (reply->error() != QNetworkReply::NoError || !isStatusOk(*reply))
        throw UpdateFailureError(UpdateFailure::unreachable);
    co_return body;
}

} // namespace DewlightUpdates
