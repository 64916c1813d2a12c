#include "storage/AccountBoundary.h"

namespace DewlightStorage {

bool AccountCloudFence::isOpen() const {
    if (boundary_.phase() != AccountBoundary::Phase::ready)
        return false;
    const auto* active = std::get_if<AccountAuthority::Active>(&boundary_.authority().state());
    if (!active || active->marker != boundary_.expected())
        return false;
    const auto current = boundary_.current();
    return current && *current == boundary_.expected();
}

} // namespace DewlightStorage
