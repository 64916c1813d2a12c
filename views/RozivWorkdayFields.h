#pragma once

#include "ui/Node.h"
#include "views/RozivViewState.h"
#include "views/ViewEnvironment.h"

#include <cstdint>
#include <vector>

namespace DewlightViews {

// The working day's editors: the start and end menus, the day buttons, and the notes on keeping a
// working day and on the day's range. The settings card and the welcome's first step share it.
//
// It keeps no copy of what it edits: every control shows `state` and, when the user changes it,
// sends one action; the control moves only when the model publishes new preferences. The two
// time lists are independent of each other; the model decides what it accepts.
struct RozivWorkdayFields {
    // Minutes after midnight, every half hour, both ends included.
    static std::vector<std::int64_t> startMinutes(); // 05:00 ... 13:00
    static std::vector<std::int64_t> endMinutes();   // 10:00 ... 23:30

    RozivPreferencesState state;
    RozivSend send;

    // The five rows in order, for a parent that stacks them with its own rows: start, end,
    // days, the note on keeping a day, the range.
    std::vector<ui::Node> rows() const;
    // The rows stacked as a group stacks them.
    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

namespace WorkdayFieldsStyle {
inline constexpr double dayDiameter = 28;
inline constexpr double daySpacing = 4;
inline constexpr double selectedRingWidth = 2;
// The explicit id of day d's button is dayId + d.
inline constexpr const char* dayId = "workday.day";
inline constexpr const char* startId = "workday.start";
inline constexpr const char* endId = "workday.end";
} // namespace WorkdayFieldsStyle

} // namespace DewlightViews
