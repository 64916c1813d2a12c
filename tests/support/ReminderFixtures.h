#pragma once

#include "core/HydrationLedger.h"
#include "core/Identity.h"
#include "core/PlannedReminder.h"
#include "core/ReminderPayload.h"
#include "core/ResetGeneration.h"
#include "core/RozivSettings.h"
#include "core/WorkdayID.h"
#include "tests/support/Week.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace DewlightCoreTesting {

using namespace DewlightCore;

// The reminders, ledgers and settings the core and reminder tests build, in the tests' week.
using DewlightTesting::hour;
using DewlightTesting::minute;
using DewlightTesting::mondayMidnight;

// A moment on the given day of that week (0 = Monday) at the given UTC wall time.
inline double at(int day, int hours, int minutes = 0, double seconds = 0) {
    return mondayMidnight + day * 86400.0 + hours * hour + minutes * minute + seconds;
}

inline WorkdayID dayID(int day) {
    return WorkdayID(mondayMidnight + day * 86400.0);
}

inline ResetGeneration initialGeneration() {
    return ResetGeneration(0, Identity<WriterTag>("initial"));
}

// The generation reminder payloads carry.
inline ResetGeneration payloadGeneration(std::uint64_t counter = 0) {
    return ResetGeneration(counter, Identity<WriterTag>("writer-a"));
}

// A reminder on Monday at 10:00 + `index` hours (wrapping over the following days).
inline ReminderPayload payloadAt(int index, std::uint64_t counter = 0,
                                 std::string account = "account-a") {
    const int day = index / 8;
    const double workday = mondayMidnight + day * 86400.0;
    const double moment = workday + (10 + index % 8) * hour;
    return ReminderPayload(Identity<AccountTag>(std::move(account)), payloadGeneration(counter),
                           WorkdayID(workday),
                           Identity<ReminderTag>("roziv.test." + std::to_string(index)), moment);
}

inline PlannedReminder plannedAt(int index, ReminderPhrase phrase = ReminderPhrase::timeForRoziv,
                                 bool oneHour = false, std::uint64_t counter = 0) {
    return PlannedReminder{payloadAt(index, counter), phrase, oneHour};
}

inline RozivSettings settingsWith(std::int64_t startMinute = 540, std::int64_t endMinute = 1080,
                                  ReminderInterval interval = ReminderInterval::minutes60,
                                  bool remindersEnabled = true) {
    return RozivSettings(
        remindersEnabled,
        {Weekday::monday, Weekday::tuesday, Weekday::wednesday, Weekday::thursday, Weekday::friday},
        startMinute, endMinute, CupVolume::ml250, interval, false);
}

// Records clicks on one machine's ledger; each click gets fresh ids and starts its own group
// unless it falls within the joining window of the one before.
class LedgerBuilder {
public:
    LedgerBuilder() : ledger_(initialGeneration()) {}

    LedgerBuilder& drink(DrinkKind kind, double moment, WorkdayID workday) {
        ++clicks_;
        ledger_.recordDrink(Identity<DrinkTag>("drink-" + std::to_string(clicks_)),
                            Identity<ClickGroupTag>("group-" + std::to_string(clicks_)), writer_,
                            workday, kind, moment);
        return *this;
    }
    // `count` clicks of one kind at one moment (they join one click group).
    LedgerBuilder& drinks(DrinkKind kind, int count, double moment, WorkdayID workday) {
        for (int i = 0; i < count; ++i)
            drink(kind, moment, workday);
        return *this;
    }
    LedgerBuilder& undo(WorkdayID workday) {
        ledger_.undoLatestGroup(workday);
        return *this;
    }

    const HydrationLedger& ledger() const { return ledger_; }
    std::optional<Identity<DrinkTag>> latestDrink(WorkdayID workday) const {
        const auto latest = ledger_.latestDrink(workday);
        return latest ? std::optional(latest->id()) : std::nullopt;
    }

private:
    HydrationLedger ledger_;
    Identity<WriterTag> writer_{"writer-a"};
    int clicks_ = 0;
};

} // namespace DewlightCoreTesting
