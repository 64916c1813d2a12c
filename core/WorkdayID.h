#pragma once

#include "core/Date.h"
#include "core/Json.h"

#include <compare>
#include <functional>

namespace DewlightCore {

// A working day, named by the UTC midnight of its civil date: the 14th of March is
// 14 March 00:00:00 UTC wherever the user is, so a day keeps its name across time zones.
class WorkdayID {
public:
    // Throws `invalidDate` unless the date keeps the date rule and lies on a UTC midnight.
    explicit WorkdayID(Date civilDate);
    // The civil day that holds the moment in the calendar's time zone; throws `invalidDate`.
    WorkdayID(Date date, const Calendar& calendar);

    Date civilDate() const { return civilDate_; }

    friend bool operator==(const WorkdayID&, const WorkdayID&) = default;
    friend auto operator<=>(const WorkdayID&, const WorkdayID&) = default;

private:
    Date civilDate_;
};

} // namespace DewlightCore

// A bare JSON number of seconds since 2001; a value off midnight is `invalidDate`.
template <> struct DewlightPlatform::JsonCodec<DewlightCore::WorkdayID> {
    using WorkdayID = DewlightCore::WorkdayID;

    static JsonValue encode(const WorkdayID& id) { return id.civilDate(); }
    static WorkdayID decode(const JsonValue& json) { return WorkdayID(Json::decode<double>(json)); }
};

template <> struct std::hash<DewlightCore::WorkdayID> {
    std::size_t operator()(const DewlightCore::WorkdayID& id) const noexcept {
        return std::hash<double>{}(id.civilDate());
    }
};
