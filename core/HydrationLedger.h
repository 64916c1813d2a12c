#pragma once

#include "core/Date.h"
#include "core/DrinkGroup.h"
#include "core/DrinkKind.h"
#include "core/DrinkRecord.h"
#include "core/GroupRemoval.h"
#include "core/Identity.h"
#include "core/Json.h"
#include "core/PanelMoment.h"
#include "core/ResetGeneration.h"
#include "core/ShownMoment.h"
#include "core/WorkdayID.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

namespace DewlightCore {

// The drink ledger of one account in one reset generation: every click that still counts, the
// click groups that were undone, the day up to which everything is discarded and the panel
// moments already shown.
//
// Every ledger that leaves the constructor, the decoder, recording or merging is validated: it
// holds nothing of a discarded day, no drink of an undone group, distinct ids in ledger order,
// click groups of one writer, day and kind, each group undone on one day at most, and no more
// than the limits below. Mutating operations change nothing when they throw.
class HydrationLedger {
public:
    static constexpr std::size_t maximumDrinks = 20000;
    static constexpr std::size_t maximumRemovedGroups = 20000;
    static constexpr std::size_t maximumShownMoments = 100;
    // Clicks of one kind by one writer at most this many seconds apart form one click group.
    static constexpr double clickGroupSeconds = 3.0;

    // Validates; throws what validate() throws. The empty ledger of a generation never fails.
    explicit HydrationLedger(ResetGeneration generation, std::vector<DrinkRecord> drinks = {},
                             std::set<GroupRemoval> removedGroups = {},
                             std::optional<WorkdayID> discardedThrough = std::nullopt,
                             std::set<ShownMoment> shownMoments = {});

    const ResetGeneration& generation() const { return generation_; }
    const std::vector<DrinkRecord>& drinks() const { return drinks_; }
    const std::set<GroupRemoval>& removedGroups() const { return removedGroups_; }
    const std::optional<WorkdayID>& discardedThrough() const { return discardedThrough_; }
    const std::set<ShownMoment>& shownMoments() const { return shownMoments_; }

    bool operator==(const HydrationLedger&) const = default;

    // Brings the ledger into its invariants (prune, merge identical copies, check limits, sort,
    // check click groups and removals) or throws conflictingIdentity / invalidLedger and leaves
    // the ledger as it was.
    void validate();
    // Drops everything of a discarded day and every drink of an undone group. Never fails.
    void prune();

    // The day's drinks that count, in ledger order.
    std::vector<DrinkRecord> activeDrinks(WorkdayID workday) const;
    std::int64_t quarters(WorkdayID workday) const;
    // The day's click groups, ordered by their last click in ledger order: the last is the
    // latest group.
    std::vector<DrinkGroup> groups(WorkdayID workday) const;
    std::optional<DrinkRecord> latestDrink(WorkdayID workday) const;
    // The group a click would join: the group of the writer's latest active drink of the day
    // when it has the same kind and lies 0 to 3.0 s before `now`; `proposed` otherwise.
    Identity<ClickGroupTag> clickGroup(DrinkKind kind, const Identity<WriterTag>& writer,
                                       WorkdayID workday, Date now,
                                       const Identity<ClickGroupTag>& proposed) const;
    // Appends one click and discards every earlier day; returns the click's group including
    // the new click. Throws discardedWorkday, invalidLedger, invalidDate or conflictingIdentity.
    DrinkGroup recordDrink(const Identity<DrinkTag>& id, const Identity<ClickGroupTag>& group,
                           const Identity<WriterTag>& writer, WorkdayID workday, DrinkKind kind,
                           Date now);
    // Takes back the day's latest click group of any writer. Empty, with nothing changed, when
    // the day has no group or when the removal could not be read back (the removal limit is
    // reached, or the group is already undone on another day).
    std::optional<DrinkGroup> undoLatestGroup(WorkdayID workday);
    // Discards every day up to `through`; the discarded day never moves back. Never fails.
    void discard(WorkdayID through);

    // The moment due now on the day and not shown yet: rangeExceeded, then threeCupsInHour,
    // then fourthSip. Never fails.
    std::optional<PanelMoment> pendingMoment(WorkdayID workday, Date now,
                                             std::int64_t maximumCups) const;
    // Records that the moment was shown. Ignored for a discarded day and, so that the ledger
    // stays readable, for a new entry beyond the moment limit.
    void markShown(PanelMoment moment, WorkdayID workday);
    std::set<PanelMoment> shownMoments(WorkdayID workday) const;
    // A greater generation wins whole; equal generations are joined as a union and validated.
    // The result, or the error, does not depend on which side is the argument.
    HydrationLedger merging(const HydrationLedger& other) const;

private:
    friend struct JsonCodec<HydrationLedger>;
    struct Unvalidated {};
    HydrationLedger(Unvalidated, ResetGeneration generation);

    void validateInPlace();
    bool isRemoved(const DrinkRecord& drink) const;

    ResetGeneration generation_;
    std::vector<DrinkRecord> drinks_;
    std::set<GroupRemoval> removedGroups_;
    std::optional<WorkdayID> discardedThrough_;
    std::set<ShownMoment> shownMoments_;
};

} // namespace DewlightCore

// {"generation", "drinks", "removedGroups", "discardedThrough", "shownMoments"}, read in this
// order and then validated. "discardedThrough" is written only when set and may be missing or
// null when read; the two sets are written sorted; other keys are ignored.
template <> struct DewlightPlatform::JsonCodec<DewlightCore::HydrationLedger> {
    static JsonValue encode(const DewlightCore::HydrationLedger& ledger);
    static DewlightCore::HydrationLedger decode(const JsonValue& json);
};
