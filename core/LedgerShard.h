#pragma once

#include "core/DrinkRecord.h"
#include "core/GroupRemoval.h"
#include "core/HydrationLedger.h"
#include "core/Identity.h"
#include "core/Json.h"
#include "core/ResetGeneration.h"
#include "core/ShownMoment.h"
#include "core/WorkdayID.h"

#include <set>
#include <vector>

namespace DewlightCore {

// One writer's slice of one working day, as published to the shared key-value store: that
// writer's drinks of the day, with every removal and shown moment of the day whoever made
// them. Readers turn it back into a small ledger and merge it into the whole.
class LedgerShard {
public:
    // Cuts the slice out of a ledger. Discarded days are not filtered: the caller skips them.
    LedgerShard(const HydrationLedger& ledger, WorkdayID workday, Identity<WriterTag> writer);
    // Plain construction; validatedLedger() checks the contents.
    LedgerShard(ResetGeneration generation, WorkdayID workday, Identity<WriterTag> writer,
                std::vector<DrinkRecord> drinks, std::set<GroupRemoval> removedGroups,
                std::set<ShownMoment> shownMoments);

    const ResetGeneration& generation() const { return generation_; }
    WorkdayID workday() const { return workday_; }
    const Identity<WriterTag>& writer() const { return writer_; }
    const std::vector<DrinkRecord>& drinks() const { return drinks_; }
    const std::set<GroupRemoval>& removedGroups() const { return removedGroups_; }
    const std::set<ShownMoment>& shownMoments() const { return shownMoments_; }

    friend bool operator==(const LedgerShard&, const LedgerShard&) = default;

    // The shard as a ledger of its generation. Throws invalidLedger when a drink names another
    // day or writer, or a removal or moment another day; then whatever ledger validation throws.
    HydrationLedger validatedLedger() const;

private:
    ResetGeneration generation_;
    WorkdayID workday_;
    Identity<WriterTag> writer_;
    std::vector<DrinkRecord> drinks_;
    std::set<GroupRemoval> removedGroups_;
    std::set<ShownMoment> shownMoments_;
};

} // namespace DewlightCore

// {"generation", "workday", "writer", "drinks", "removedGroups", "shownMoments"}, all required.
// Decoding runs validatedLedger(), so a shard that decodes always agrees with its own day and
// writer and forms a valid ledger.
template <> struct DewlightPlatform::JsonCodec<DewlightCore::LedgerShard> {
    static JsonValue encode(const DewlightCore::LedgerShard& shard);
    static DewlightCore::LedgerShard decode(const JsonValue& json);
};
