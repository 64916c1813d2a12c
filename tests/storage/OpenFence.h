#pragma once

#include "storage/AccountBoundary.h"

#include <optional>
#include <string>

namespace DewlightStorage {

// An open fence for account "A" that a test closes by signing the identity out or in elsewhere.
struct OpenFence {
    OpenFence() { authority.adopt(std::string("A")); }

    void close() { signedIn = std::nullopt; }
    void open() { signedIn = "A"; }

    AccountAuthority authority;
    std::optional<std::string> signedIn = "A";
    AccountBoundary boundary{"A", [this] { return signedIn; }, authority};
    AccountCloudFence fence{boundary};
};

} // namespace DewlightStorage
