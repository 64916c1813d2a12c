// The ledger's operations on one working day: counting, click groups, recording, undo, discard.
#include "core/DomainError.h"
#include "core/HydrationLedger.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace DewlightCore {

std::vector<DrinkRecord> HydrationLedger::activeDrinks(WorkdayID workday) const {
    std::vector<DrinkRecord> active;
    for (const DrinkRecord& drink : drinks_) {
        if (drink.workday() == workday && !isRemoved(drink)) {
            active.push_back(drink);
        }
    }
    return active;
}

std::int64_t HydrationLedger::quarters(WorkdayID workday) const {
    std::int64_t total = 0;
    for (const DrinkRecord& drink : drinks_) {
        if (drink.workday() == workday && !isRemoved(drink)) {
            total += DewlightCore::quarters(drink.kind());
        }
    }
    return total;
}

std::vector<DrinkGroup> HydrationLedger::groups(WorkdayID workday) const {
    struct Collected {
        DrinkGroup group;
        std::size_t lastIndex;
    };
    std::vector<Collected> collected;
    std::unordered_map<std::string_view, std::size_t> slotByGroup;
    for (std::size_t index = 0; index < drinks_.size(); ++index) {
        const DrinkRecord& drink = drinks_[index];
        if (drink.workday() != workday || isRemoved(drink)) {
            continue;
        }
        auto [found, inserted] =
            slotByGroup.try_emplace(drink.group().rawValue(), collected.size());
        if (inserted) {
            collected.push_back(
                {DrinkGroup{drink.group(), drink.kind(), drink.timestamp(), drink.timestamp(), 1},
                 index});
        } else {
            Collected& slot = collected[found->second];
            slot.group.lastTimestamp = drink.timestamp();
            slot.group.clickCount += 1;
            slot.lastIndex = index;
        }
    }
    std::sort(collected.begin(), collected.end(),
              [](const Collected& a, const Collected& b) { return a.lastIndex < b.lastIndex; });
    std::vector<DrinkGroup> result;
    result.reserve(collected.size());
    for (Collected& slot : collected) {
        result.push_back(std::move(slot.group));
    }
    return result;
}

std::optional<DrinkRecord> HydrationLedger::latestDrink(WorkdayID workday) const {
    for (auto drink = drinks_.rbegin(); drink != drinks_.rend(); ++drink) {
        if (drink->workday() == workday && !isRemoved(*drink)) {
            return *drink;
        }
    }
    return std::nullopt;
}

Identity<ClickGroupTag> HydrationLedger::clickGroup(DrinkKind kind,
                                                    const Identity<WriterTag>& writer,
                                                    WorkdayID workday, Date now,
                                                    const Identity<ClickGroupTag>& proposed) const {
    // Only the writer's very latest drink of the day is looked at, never an earlier one.
    for (auto drink = drinks_.rbegin(); drink != drinks_.rend(); ++drink) {
        if (drink->workday() != workday || drink->writer() != writer || isRemoved(*drink)) {
            continue;
        }
        const bool joins = drink->kind() == kind && drink->timestamp() <= now &&
                           now - drink->timestamp() <= clickGroupSeconds;
        return joins ? drink->group() : proposed;
    }
    return proposed;
}

DrinkGroup HydrationLedger::recordDrink(const Identity<DrinkTag>& id,
                                        const Identity<ClickGroupTag>& group,
                                        const Identity<WriterTag>& writer, WorkdayID workday,
                                        DrinkKind kind, Date now) {
    if (discardedThrough_ && workday <= *discardedThrough_) {
        throw DomainError::discardedWorkday();
    }
    Identity<ClickGroupTag> joined = clickGroup(kind, writer, workday, now, group);

    std::uint64_t highest = 0;
    for (const DrinkRecord& drink : drinks_) {
        highest = std::max(highest, drink.writerSequence());
    }
    if (highest == std::numeric_limits<std::uint64_t>::max()) {
        throw DomainError::invalidLedger();
    }
    // The record checks `now` by the date rule (invalidDate), then that it lies no earlier
    // than 14 hours before the day's UTC midnight (invalidLedger).
    DrinkRecord record(id, joined, writer, workday, kind, now, highest + 1);
    const WorkdayID dayBefore(workday.civilDate() - 86400.0);

    HydrationLedger copy = *this;
    copy.drinks_.push_back(std::move(record));
    if (!copy.discardedThrough_ || *copy.discardedThrough_ < dayBefore) {
        copy.discardedThrough_ = dayBefore;
    }
    copy.validateInPlace();

    // A proposed group that was already undone on this day drops the new click in validation.
    std::vector<DrinkGroup> dayGroups = copy.groups(workday);
    const auto found =
        std::find_if(dayGroups.begin(), dayGroups.end(),
                     [&](const DrinkGroup& candidate) { return candidate.id == joined; });
    if (found == dayGroups.end()) {
        throw DomainError::invalidLedger();
    }
    DrinkGroup result = std::move(*found);
    *this = std::move(copy);
    return result;
}

std::optional<DrinkGroup> HydrationLedger::undoLatestGroup(WorkdayID workday) {
    std::vector<DrinkGroup> dayGroups = groups(workday);
    if (dayGroups.empty()) {
        return std::nullopt;
    }
    DrinkGroup latest = std::move(dayGroups.back());
    GroupRemoval removal{latest.id, workday};
    // Never leave a ledger that validation would refuse on the next read: a removal beyond the
    // limit, or a second removal of one group, would lock the account out of its own data.
    // The day's active groups are not undone on this day, so the removal is always new.
    if (removedGroups_.size() >= maximumRemovedGroups) {
        return std::nullopt;
    }
    // Removals are ordered by group first: one of the same group on another day is a neighbour.
    const auto next = removedGroups_.lower_bound(removal);
    if ((next != removedGroups_.end() && next->group == latest.id) ||
        (next != removedGroups_.begin() && std::prev(next)->group == latest.id)) {
        return std::nullopt;
    }
    removedGroups_.insert(std::move(removal));
    std::erase_if(drinks_, [&](const DrinkRecord& drink) { return drink.group() == latest.id; });
    return latest;
}

void HydrationLedger::discard(WorkdayID through) {
    if (!discardedThrough_ || *discardedThrough_ < through) {
        discardedThrough_ = through;
    }
    prune();
}

} // namespace DewlightCore
