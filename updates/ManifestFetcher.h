#pragma once

#include "updates/UpdateFeed.h"
#include "updates/UpdateManifest.h"

#include <QList>
#include <QSslCertificate>
#include <QUrl>
#include <chrono>

namespace DewlightUpdates {

// One stateless GET of a manifest: a fresh network manager per call (no cookies, no cache, no
// connection kept), redirects never followed, only status 200 accepted, the body bounded.
// The application reaches it only through SiteUpdateFeed, with the build's site and these
// limits; tests build it with a loopback address.
class ManifestFetcher final : public UpdateFeed {
public:
    struct Settings {
        QUrl url;
        // Without any data moving for this long, the fetch gives up.
        std::chrono::milliseconds idleTimeout{15'000};
        // The whole fetch, connection included, gives up after this long.
        std::chrono::milliseconds totalTimeout{30'000};
        qint64 maximumBytes = static_cast<qint64>(UpdateManifest::maximumBytes);
        // Trusted in addition to the system's roots; certificates are always verified.
        QList<QSslCertificate> extraTrustedRoots;
    };

    explicit ManifestFetcher(Settings settings) : settings_(std::move(settings)) {}

    // The body; throws unreachable (transport error, time limit, any status but 200, a
    // redirect) or unreadable (more than `maximumBytes`).
    QCoro::Task<QByteArray> fetch() override;

private:
    Settings settings_;
};

} // namespace DewlightUpdates
