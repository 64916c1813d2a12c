#pragma once

#include "core/DrinkRecord.h"
#include "core/HydrationLedger.h"
#include "core/Identity.h"
#include "core/ResetGeneration.h"
#include "core/WorkdayID.h"

#include <cstdint>
#include <string>
#include <utility>

namespace DewlightCoreTesting {

using namespace DewlightCore;

// 2001-01-01, the reference date, was a Monday: day(0) is that Monday, day(1) the Tuesday.
inline WorkdayID day(int index) {
    return WorkdayID(index * 86400.0);
}
// A moment on a day: hours after its UTC midnight.
inline Date at(int dayIndex, double hours) {
    return dayIndex * 86400.0 + hours * 3600.0;
}

inline Identity<DrinkTag> drinkId(const std::string& text) {
    return Identity<DrinkTag>(text);
}
inline Identity<ClickGroupTag> groupId(const std::string& text) {
    return Identity<ClickGroupTag>(text);
}
inline Identity<WriterTag> writerId(const std::string& text) {
    return Identity<WriterTag>(text);
}

inline ResetGeneration generation(std::uint64_t counter = 0,
                                  const std::string& writer = "initial") {
    return ResetGeneration(counter, writerId(writer));
}

inline HydrationLedger emptyLedger() {
    return HydrationLedger(generation());
}

// One record with the fields that matter to a test spelled out and the rest defaulted.
struct Drink {
    std::string id;
    std::string group = "g1";
    std::string writer = "writerA";
    int dayIndex = 1;
    DrinkKind kind = DrinkKind::cup;
    Date timestamp = at(1, 10);
    std::uint64_t sequence = 1;

    DrinkRecord record() const {
        return DrinkRecord(drinkId(id), groupId(group), writerId(writer), day(dayIndex), kind,
                           timestamp, sequence);
    }
};

// Records clicks with fresh ids made from a prefix and a counter, as the application makes fresh
// ones; two clickers on one ledger need different prefixes.
class Clicker {
public:
    explicit Clicker(HydrationLedger& ledger, std::string prefix = "")
        : ledger_(ledger), prefix_(std::move(prefix)) {}

    DrinkGroup click(DrinkKind kind, Date now, const std::string& writer = "writerA",
                     int dayIndex = 1) {
        ++count_;
        return ledger_.recordDrink(drinkId(prefix_ + "drink" + std::to_string(count_)),
                                   groupId(prefix_ + "group" + std::to_string(count_)),
                                   writerId(writer), day(dayIndex), kind, now);
    }

private:
    HydrationLedger& ledger_;
    std::string prefix_;
    int count_ = 0;
};

} // namespace DewlightCoreTesting
