#include "kit/brand/BrandPrivacy.h"

#include "platform/BuildInfo.h"

#include <string_view>

namespace KestraUI {

bool buildIsNetworkClient() {
    return !std::string_view(DewlightPlatform::BuildInfo::updateSite).empty();
}

DefaultPrivacyLine defaultPrivacyLine(const KestraBrand& brand,
                                      const NetworkClientFlag& isNetworkClient) {
    if (brand.connection == KestraBrand::Connection::online ||
        (isNetworkClient && isNetworkClient()))
        return {QStringLiteral("No data collected"), ui::SymbolName("hand.raised")};
    return {QStringLiteral("No internet, no data collected"), ui::SymbolName("network.slash")};
}

} // namespace KestraUI
