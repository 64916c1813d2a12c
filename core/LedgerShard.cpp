#include "core/LedgerShard.h"

#include "core/DomainError.h"

#include <algorithm>
#include <utility>

namespace DewlightCore {

LedgerShard::LedgerShard(const HydrationLedger& ledger, WorkdayID workday,
                         Identity<WriterTag> writer)
    : generation_(ledger.generation()), workday_(workday), writer_(std::move(writer)) {
    for (const DrinkRecord& drink : ledger.drinks()) {
        if (drink.workday() == workday_ && drink.writer() == writer_)
            drinks_.push_back(drink);
    }
    for (const GroupRemoval& removal : ledger.removedGroups()) {
        if (removal.workday == workday_)
            removedGroups_.insert(removal);
    }
    for (const ShownMoment& shown : ledger.shownMoments()) {
        if (shown.workday == workday_)
            shownMoments_.insert(shown);
    }
}

LedgerShard::LedgerShard(ResetGeneration generation, WorkdayID workday, Identity<WriterTag> writer,
                         std::vector<DrinkRecord> drinks, std::set<GroupRemoval> removedGroups,
                         std::set<ShownMoment> shownMoments)
    : generation_(std::move(generation)), workday_(workday), writer_(std::move(writer)),
      drinks_(std::move(drinks)), removedGroups_(std::move(removedGroups)),
      shownMoments_(std::move(shownMoments)) {}

HydrationLedger LedgerShard::validatedLedger() const {
    // A shard may only speak for its own writer and day: anything else would let one
    // machine's slice smuggle in data under another key.
    const bool drinksAgree = std::ranges::all_of(drinks_, [&](const DrinkRecord& drink) {
        return drink.workday() == workday_ && drink.writer() == writer_;
    });
    const bool removalsAgree = std::ranges::all_of(
        removedGroups_, [&](const GroupRemoval& removal) { return removal.workday == workday_; });
    const bool momentsAgree = std::ranges::all_of(
        shownMoments_, [&](const ShownMoment& shown) { return shown.workday == workday_; });
    if (!drinksAgree || !removalsAgree || !momentsAgree)
        throw DomainError::invalidLedger();
    return HydrationLedger(generation_, drinks_, removedGroups_, std::nullopt, shownMoments_);
}

} // namespace DewlightCore

namespace DewlightPlatform {

// Written with the core's names.
using namespace DewlightCore;

JsonValue JsonCodec<LedgerShard>::encode(const LedgerShard& shard) {
    JsonValue json = JsonValue::object();
    json["generation"] = Json::encode(shard.generation());
    json["workday"] = Json::encode(shard.workday());
    json["writer"] = Json::encode(shard.writer());
    json["drinks"] = Json::encode(shard.drinks());
    json["removedGroups"] = Json::encode(shard.removedGroups());
    json["shownMoments"] = Json::encode(shard.shownMoments());
    return json;
}

LedgerShard JsonCodec<LedgerShard>::decode(const JsonValue& json) {
    auto generation = Json::field<ResetGeneration>(json, "generation");
    const auto workday = Json::field<WorkdayID>(json, "workday");
    auto writer = Json::field<Identity<WriterTag>>(json, "writer");
    auto drinks = Json::field<std::vector<DrinkRecord>>(json, "drinks");
    auto removedGroups = Json::field<std::set<GroupRemoval>>(json, "removedGroups");
    auto shownMoments = Json::field<std::set<ShownMoment>>(json, "shownMoments");
    LedgerShard shard(std::move(generation), workday, std::move(writer), std::move(drinks),
                      std::move(removedGroups), std::move(shownMoments));
    shard.validatedLedger();
    return shard;
}

} // namespace DewlightPlatform
