#include "core/HydrationRange.h"

#include <algorithm>

namespace DewlightCore {

HydrationRange::HydrationRange(const RozivSettings& settings) {
    const std::int64_t windowMinutes = settings.endMinute() - settings.startMinute();
    // Millilitres per glass times 60: per-hour rates become per-minute integer arithmetic.
    const std::int64_t perMinuteVolume = rawValue(settings.cupVolume()) * 60;
    minimumCups_ = std::max<std::int64_t>(1, windowMinutes * 100 / perMinuteVolume);
    maximumCups_ =
        std::max<std::int64_t>(1, (windowMinutes * 125 + perMinuteVolume - 1) / perMinuteVolume);
}

} // namespace DewlightCore
