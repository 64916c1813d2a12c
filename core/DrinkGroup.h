#pragma once

#include "core/DrinkKind.h"
#include "core/Identity.h"

#include <cstdint>

namespace DewlightCore {

// One click group of a working day as the panel and undo show it; computed from the ledger.
struct DrinkGroup {
    Identity<ClickGroupTag> id;
    DrinkKind kind;
    double firstTimestamp;
    double lastTimestamp;
    std::int64_t clickCount;

    std::int64_t quarters() const { return clickCount * DewlightCore::quarters(kind); }

    bool operator==(const DrinkGroup&) const = default;
};

} // namespace DewlightCore
