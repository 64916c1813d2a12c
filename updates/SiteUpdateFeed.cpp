#include "updates/SiteUpdateFeed.h"

#include "platform/BuildInfo.h"
#include "updates/ManifestFetcher.h"
#include "updates/UpdateFailure.h"

#include <QtGlobal>

namespace DewlightUpdates {

std::optional<QUrl> SiteUpdateFeed::originOf(std::string_view site) {
    const QUrl url(QString::fromUtf8(site.data(), static_cast<qsizetype>(site.size())),
                   QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty() ||
        url.port() == 0 || !url.userInfo().isEmpty() || !url.path().isEmpty() || url.hasQuery() ||
        url.hasFragment())
        return std::nullopt;
    return url;
}

const QUrl& SiteUpdateFeed::site() {
    static const QUrl built = [] {
        const std::string_view text = DewlightPlatform::BuildInfo::updateSite;
        if (text.empty())
            return QUrl();
        auto origin = originOf(text);
        if (!origin)
            qFatal("The update site built in is not an HTTPS origin: %s",
                   DewlightPlatform::BuildInfo::updateSite);
        return *origin;
    }();
    return built;
}

QUrl SiteUpdateFeed::manifestURL() {
    QUrl url = site();
    if (!url.isEmpty())
        url.setPath(QStringLiteral("/downloads/versions.json"));
    return url;
}

QCoro::Task<QByteArray> SiteUpdateFeed::fetch() {
    const QUrl url = manifestURL();
    if (url.isEmpty())
        throw UpdateFailureError(UpdateFailure::unreachable);
    ManifestFetcher::Settings settings;
    settings.url = url;
    ManifestFetcher fetcher(std::move(settings));
    QByteArray body = co_await fetcher.fetch();
    co_return body;
}

} // namespace DewlightUpdates
