#include "updates/UpdateOffer.h"

namespace DewlightUpdates {

std::optional<AppVersion> UpdateOffer::offer(const std::optional<AppVersion>& published,
                                             const AppVersion& current,
                                             const std::optional<AppVersion>& setAside) {
    if (!published)
        return std::nullopt;
    if (current < *published && (!setAside || *setAside < *published))
        return published;
    return std::nullopt;
}

} // namespace DewlightUpdates
