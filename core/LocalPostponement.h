#pragma once

#include "core/Date.h"
#include "core/Identity.h"
#include "core/WorkdayID.h"

#include <optional>

namespace DewlightCore {

// "In 15 minutes": the day's next reminder moves to `until` for as long as nothing has been
// drunk since. Held in memory only; lost when the application quits.
class LocalPostponement {
public:
    static constexpr double delay = 900;

    // `until` = now + 15 minutes. Throws `invalidDate` when `now` or `until` breaks the date
    // rule: a postponement holds only moments the planner can use.
    LocalPostponement(Date now, WorkdayID workday, std::optional<Identity<DrinkTag>> lastDrink);

    Date until() const { return until_; }
    WorkdayID workday() const { return workday_; }
    const std::optional<Identity<DrinkTag>>& lastDrink() const { return lastDrink_; }

    // Whether the postponement still applies to a day whose latest active drink is
    // `latestDrink`: the same day and the same latest drink (none against none counts as the
    // same). The planner and the panel's "snoozed" line both use this rule.
    bool matches(WorkdayID workday, const std::optional<Identity<DrinkTag>>& latestDrink) const {
        return workday_ == workday && lastDrink_ == latestDrink;
    }

    friend bool operator==(const LocalPostponement&, const LocalPostponement&) = default;

private:
    Date until_;
    WorkdayID workday_;
    std::optional<Identity<DrinkTag>> lastDrink_;
};

} // namespace DewlightCore
