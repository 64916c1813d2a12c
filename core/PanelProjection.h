#pragma once

#include "core/Date.h"
#include "core/DrinkGroup.h"
#include "core/DropFill.h"
#include "core/HydrationLedger.h"
#include "core/MenuIcon.h"
#include "core/NotificationPermission.h"
#include "core/PanelFailure.h"
#include "core/PanelStatus.h"
#include "core/RozivSettings.h"
#include "core/Workday.h"
#include "core/WorkdayID.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace DewlightCore {

// What the panel and the tray icon show, derived from facts the caller resolved first. Built
// anew on every refresh; callers compare projections to see whether anything changed.
class PanelProjection {
public:
    struct Facts {
        const RozivSettings& settings;
        const HydrationLedger& ledger;
        // The window found for `now` by the at-or-before search (it may have ended).
        const Workday& workday;
        Date now;
        NotificationPermission permission;
        bool welcomeCompleted;
        // The earliest reminder known to be pending.
        std::optional<Date> nextReminder;
        std::optional<PanelFailure> failure;
        bool suppressAnimation;
        // The day whose drinks are counted; none: the window's day.
        std::optional<WorkdayID> countingDay = std::nullopt;
    };
    // Never fails.
    explicit PanelProjection(const Facts& facts);

    // A quarter count as glasses: 11 quarters are 2.75 glasses.
    static double glasses(std::int64_t quarters) { return static_cast<double>(quarters) / 4.0; }

    const PanelStatus& status() const { return status_; }
    MenuIcon menuIcon() const { return menuIcon_; }
    std::int64_t quarters() const { return quarters_; }
    std::int64_t wholeCups() const { return wholeCups_; }
    std::int64_t remainingQuarters() const { return remainingQuarters_; }
    // One drop per glass of the range's upper end.
    const std::vector<DropFill>& drops() const { return drops_; }
    bool canRecord() const { return canRecord_; }
    // The glass row is the suggested action.
    bool highlightCup() const { return highlightCup_; }
    // The click group undo would take back.
    const std::optional<DrinkGroup>& undoGroup() const { return undoGroup_; }
    // The next moment at which the projection changes without any input.
    std::optional<Date> nextBoundary() const { return nextBoundary_; }
    bool animateDrops() const { return animateDrops_; }

    bool operator==(const PanelProjection&) const = default;

private:
    PanelStatus status_;
    MenuIcon menuIcon_;
    std::int64_t quarters_;
    std::int64_t wholeCups_;
    std::int64_t remainingQuarters_;
    std::vector<DropFill> drops_;
    bool canRecord_;
    bool highlightCup_;
    std::optional<DrinkGroup> undoGroup_;
    std::optional<Date> nextBoundary_;
    bool animateDrops_;
};

} // namespace DewlightCore
