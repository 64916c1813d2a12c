// Panel moments and the merge of two copies of the ledger.
#include "core/HydrationLedger.h"

#include <limits>
#include <utility>

namespace DewlightCore {

std::optional<PanelMoment> HydrationLedger::pendingMoment(WorkdayID workday, Date now,
                                                          std::int64_t maximumCups) const {
    std::int64_t dayQuarters = 0;
    std::int64_t hourQuarters = 0;
    std::int64_t sips = 0;
    for (const DrinkRecord& drink : drinks_) {
        if (drink.workday() != workday || isRemoved(drink)) {
            continue;
        }
        const std::int64_t worth = DewlightCore::quarters(drink.kind());
        dayQuarters += worth;
        if (drink.timestamp() >= now - 3600.0 && drink.timestamp() <= now) {
            hourQuarters += worth;
        }
        if (drink.kind() == DrinkKind::sip) {
            sips += 1;
        }
    }
    // 4 × maximumCups in 64 bits, without overflowing for a range no settings can make.
    constexpr std::int64_t quarterLimit = std::numeric_limits<std::int64_t>::max() / 4;
    const bool exceeded = maximumCups >= quarterLimit    ? false
                          : maximumCups <= -quarterLimit ? true
                                                         : dayQuarters > 4 * maximumCups;
    const std::set<PanelMoment> shown = shownMoments(workday);
    // A moment already shown does not hold back the next one.
    const std::pair<PanelMoment, bool> candidates[] = {
        {PanelMoment::rangeExceeded, exceeded},
        {PanelMoment::threeCupsInHour, hourQuarters >= 12},
        {PanelMoment::fourthSip, sips >= 4},
    };
    for (const auto& [moment, due] : candidates) {
        if (due && !shown.contains(moment)) {
            return moment;
        }
    }
    return std::nullopt;
}

void HydrationLedger::markShown(PanelMoment moment, WorkdayID workday) {
    if (discardedThrough_ && workday <= *discardedThrough_) {
        return;
    }
    ShownMoment entry{workday, moment};
    // Beyond the limit the ledger would no longer validate when read back; showing a remark
    // twice is the lesser harm.
    if (shownMoments_.size() >= maximumShownMoments && !shownMoments_.contains(entry)) {
        return;
    }
    shownMoments_.insert(std::move(entry));
}

std::set<PanelMoment> HydrationLedger::shownMoments(WorkdayID workday) const {
    std::set<PanelMoment> moments;
    for (const ShownMoment& shown : shownMoments_) {
        if (shown.workday == workday) {
            moments.insert(shown.moment);
        }
    }
    return moments;
}

HydrationLedger HydrationLedger::merging(const HydrationLedger& other) const {
    if (generation_ != other.generation_) {
        return generation_ < other.generation_ ? other : *this;
    }
    HydrationLedger merged(Unvalidated{}, generation_);
    merged.drinks_.reserve(drinks_.size() + other.drinks_.size());
    merged.drinks_.insert(merged.drinks_.end(), drinks_.begin(), drinks_.end());
    merged.drinks_.insert(merged.drinks_.end(), other.drinks_.begin(), other.drinks_.end());
    merged.removedGroups_ = removedGroups_;
    merged.removedGroups_.insert(other.removedGroups_.begin(), other.removedGroups_.end());
    merged.shownMoments_ = shownMoments_;
    merged.shownMoments_.insert(other.shownMoments_.begin(), other.shownMoments_.end());
    merged.discardedThrough_ = discardedThrough_;
    if (other.discardedThrough_ &&
        (!merged.discardedThrough_ || *merged.discardedThrough_ < *other.discardedThrough_)) {
        merged.discardedThrough_ = other.discardedThrough_;
    }
    merged.validateInPlace();
    return merged;
}

} // namespace DewlightCore
