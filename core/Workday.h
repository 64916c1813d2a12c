#pragma once

#include "core/Date.h"
#include "core/Json.h"
#include "core/WorkdayID.h"

namespace DewlightCore {

// One working window: its civil day and the moments it starts (inclusive) and ends
// (exclusive). A window lies within what its civil date can cover in any time zone: from
// 14 hours before the day's UTC midnight to before 38 hours after it.
class Workday {
public:
    static constexpr double earliestStartBeforeMidnight = 50400;
    static constexpr double endLimitAfterMidnight = 136800;

    // Throws `invalidDate` when a bound is broken.
    Workday(WorkdayID id, Date start, Date end);

    const WorkdayID& id() const { return id_; }
    Date start() const { return start_; }
    Date end() const { return end_; }

    bool contains(Date moment) const { return start_ <= moment && moment < end_; }

    friend bool operator==(const Workday&, const Workday&) = default;

private:
    WorkdayID id_;
    Date start_;
    Date end_;
};

} // namespace DewlightCore

// {"id": day number, "start": date, "end": date}
template <> struct DewlightPlatform::JsonCodec<DewlightCore::Workday> {
    static JsonValue encode(const DewlightCore::Workday& workday);
    static DewlightCore::Workday decode(const JsonValue& json);
};
