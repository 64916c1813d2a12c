#pragma once

#include "core/Identity.h"
#include "core/Json.h"
#include "core/WorkdayID.h"

#include <compare>

namespace DewlightCore {

// A click group undone on a working day: none of its clicks of that day count, on any machine,
// even when a copy that still holds them is merged in later.
struct GroupRemoval {
    Identity<ClickGroupTag> group;
    WorkdayID workday;

    friend bool operator==(const GroupRemoval&, const GroupRemoval&) = default;
    // Sets are kept, and written, by group text and then by day, so that the removals of one
    // group are neighbours.
    friend auto operator<=>(const GroupRemoval&, const GroupRemoval&) = default;
};

} // namespace DewlightCore

// {"group": identity, "workday": day number}, read in this order.
template <> struct DewlightPlatform::JsonCodec<DewlightCore::GroupRemoval> {
    static JsonValue encode(const DewlightCore::GroupRemoval& removal);
    static DewlightCore::GroupRemoval decode(const JsonValue& json);
};
