#include "core/HydrationLedger.h"

#include "core/DomainError.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace DewlightCore {

HydrationLedger::HydrationLedger(Unvalidated, ResetGeneration generation)
    : generation_(std::move(generation)) {}

HydrationLedger::HydrationLedger(ResetGeneration generation, std::vector<DrinkRecord> drinks,
                                 std::set<GroupRemoval> removedGroups,
                                 std::optional<WorkdayID> discardedThrough,
                                 std::set<ShownMoment> shownMoments)
    : generation_(std::move(generation)), drinks_(std::move(drinks)),
      removedGroups_(std::move(removedGroups)), discardedThrough_(discardedThrough),
      shownMoments_(std::move(shownMoments)) {
    validateInPlace();
}

void HydrationLedger::prune() {
    if (discardedThrough_) {
        const WorkdayID cut = *discardedThrough_;
        std::erase_if(drinks_, [cut](const DrinkRecord& drink) { return drink.workday() <= cut; });
        std::erase_if(removedGroups_,
                      [cut](const GroupRemoval& removal) { return removal.workday <= cut; });
        std::erase_if(shownMoments_,
                      [cut](const ShownMoment& shown) { return shown.workday <= cut; });
    }
    if (!removedGroups_.empty()) {
        std::erase_if(drinks_, [this](const DrinkRecord& drink) { return isRemoved(drink); });
    }
}

bool HydrationLedger::isRemoved(const DrinkRecord& drink) const {
    return removedGroups_.contains(GroupRemoval{drink.group(), drink.workday()});
}

void HydrationLedger::validate() {
    HydrationLedger copy = *this;
    copy.validateInPlace();
    *this = std::move(copy);
}

// Works on the ledger itself and may leave it half done when it throws: callers own a copy.
void HydrationLedger::validateInPlace() {
    prune();

    // Identical copies of a record (the same click read from two machines) collapse into one;
    // two different records under one id are a conflict.
    {
        std::unordered_map<std::string_view, std::size_t> firstById;
        firstById.reserve(drinks_.size());
        std::vector<bool> duplicate(drinks_.size(), false);
        bool anyDuplicate = false;
        for (std::size_t index = 0; index < drinks_.size(); ++index) {
            auto [found, inserted] = firstById.try_emplace(drinks_[index].id().rawValue(), index);
            if (inserted) {
                continue;
            }
            if (drinks_[found->second] != drinks_[index]) {
                throw DomainError::conflictingIdentity();
            }
            duplicate[index] = true;
            anyDuplicate = true;
        }
        if (anyDuplicate) {
            std::size_t index = 0;
            std::erase_if(drinks_, [&](const DrinkRecord&) { return duplicate[index++]; });
        }
    }

    if (drinks_.size() > maximumDrinks || removedGroups_.size() > maximumRemovedGroups ||
        shownMoments_.size() > maximumShownMoments) {
        throw DomainError::invalidLedger();
    }

    if (!std::is_sorted(drinks_.begin(), drinks_.end(), DrinkRecord::ledgerOrder)) {
        std::sort(drinks_.begin(), drinks_.end(), DrinkRecord::ledgerOrder);
    }

    {
        std::unordered_map<std::string_view, std::size_t> firstByGroup;
        firstByGroup.reserve(drinks_.size());
        for (std::size_t index = 0; index < drinks_.size(); ++index) {
            const DrinkRecord& drink = drinks_[index];
            auto [found, inserted] = firstByGroup.try_emplace(drink.group().rawValue(), index);
            if (inserted) {
                continue;
            }
            const DrinkRecord& first = drinks_[found->second];
            if (drink.writer() != first.writer() || drink.workday() != first.workday() ||
                drink.kind() != first.kind()) {
                throw DomainError::invalidLedger();
            }
        }
    }

    // The set is ordered by group first, so two removals of one group are neighbours.
    const auto twice = std::adjacent_find(
        removedGroups_.begin(), removedGroups_.end(),
        [](const GroupRemoval& a, const GroupRemoval& b) { return a.group == b.group; });
    if (twice != removedGroups_.end()) {
        throw DomainError::invalidLedger();
    }
}

} // namespace DewlightCore

namespace DewlightPlatform {

// Written with the core's names.
using namespace DewlightCore;

JsonValue JsonCodec<HydrationLedger>::encode(const HydrationLedger& ledger) {
    JsonValue json = JsonValue::object();
    json["generation"] = Json::encode(ledger.generation());
    json["drinks"] = Json::encode(ledger.drinks());
    json["removedGroups"] = Json::encode(ledger.removedGroups());
    if (ledger.discardedThrough())
        json["discardedThrough"] = Json::encode(*ledger.discardedThrough());
    json["shownMoments"] = Json::encode(ledger.shownMoments());
    return json;
}

HydrationLedger JsonCodec<HydrationLedger>::decode(const JsonValue& json) {
    HydrationLedger ledger(HydrationLedger::Unvalidated{},
                           Json::field<ResetGeneration>(json, "generation"));
    ledger.drinks_ = Json::field<std::vector<DrinkRecord>>(json, "drinks");
    ledger.removedGroups_ = Json::field<std::set<GroupRemoval>>(json, "removedGroups");
    ledger.discardedThrough_ = Json::fieldIfPresent<WorkdayID>(json, "discardedThrough");
    ledger.shownMoments_ = Json::field<std::set<ShownMoment>>(json, "shownMoments");
    ledger.validateInPlace();
    return ledger;
}

} // namespace DewlightPlatform
