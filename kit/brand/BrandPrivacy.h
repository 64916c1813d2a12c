#pragma once

#include "kit/brand/KestraBrand.h"
#include "ui/SymbolName.h"

#include <QString>
#include <functional>

namespace KestraUI {

// Whether the running app can reach the network. Asked only when the brand itself says
// offline, and kept by the caller for the life of the process.
using NetworkClientFlag = std::function<bool()>;

// A network client exactly when the build has an update site.
bool buildIsNetworkClient();

struct DefaultPrivacyLine {
    QString text; // a localisation key
    ui::SymbolName symbol;
};

// The privacy promise a brand makes by default: never "No internet" for an app that can reach
// the network.
DefaultPrivacyLine defaultPrivacyLine(const KestraBrand& brand,
                                      const NetworkClientFlag& isNetworkClient);

} // namespace KestraUI
