#pragma once

#include "core/Json.h"
#include "core/PanelMoment.h"
#include "core/WorkdayID.h"

#include <compare>

namespace DewlightCore {

// That a panel moment was shown on a working day, so that no machine of the account shows it
// again that day.
struct ShownMoment {
    WorkdayID workday;
    PanelMoment moment;

    friend bool operator==(const ShownMoment&, const ShownMoment&) = default;
    // Sets are kept, and written, by day and then by moment.
    friend auto operator<=>(const ShownMoment&, const ShownMoment&) = default;
};

} // namespace DewlightCore

// {"workday": day number, "moment": raw text}, read in this order.
template <> struct DewlightPlatform::JsonCodec<DewlightCore::ShownMoment> {
    static JsonValue encode(const DewlightCore::ShownMoment& shown);
    static DewlightCore::ShownMoment decode(const JsonValue& json);
};
