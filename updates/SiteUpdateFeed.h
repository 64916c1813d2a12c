#pragma once

#include "updates/UpdateFeed.h"

#include <QUrl>
#include <optional>
#include <string_view>

namespace DewlightUpdates {

// The manifest of this build's update site. A build without a site never touches the network:
// its fetch is unreachable at once.
class SiteUpdateFeed final : public UpdateFeed {
public:
    // "https://host" or "https://host:port" and nothing more; none for anything else.
    static std::optional<QUrl> originOf(std::string_view site);
    // The build's site, empty when it has none. An invalid build constant stops the program.
    static const QUrl& site();
    // The site's "/downloads/versions.json", empty when the build has no site.
    static QUrl manifestURL();

    QCoro::Task<QByteArray> fetch() override;
};

} // namespace DewlightUpdates
