#pragma once

#include "core/Identity.h"
#include "core/PlannedReminder.h"
#include "core/ReminderPayload.h"
#include "core/ResetGeneration.h"
#include "core/WorkdayID.h"

#include <QCoro/QCoroTask>
#include <cstdint>
#include <optional>
#include <string>

namespace DewlightRemindersTesting {

using namespace DewlightCore;

// Monday 2026-01-05 00:00 UTC.
inline constexpr double mondayMidnight = 789264000;
inline constexpr double hour = 3600;

inline ResetGeneration generation(std::uint64_t counter = 0) {
    return ResetGeneration(counter, Identity<WriterTag>("writer-a"));
}

// A reminder on Monday at 10:00 + `index` hours (wrapping over the following days).
inline ReminderPayload payloadAt(int index, std::uint64_t counter = 0,
                                 std::string account = "account-a") {
    const int day = index / 8;
    const double workday = mondayMidnight + day * 86400.0;
    const double moment = workday + (10 + index % 8) * hour;
    return ReminderPayload(Identity<AccountTag>(std::move(account)), generation(counter),
                           WorkdayID(workday),
                           Identity<ReminderTag>("roziv.test." + std::to_string(index)), moment);
}

inline PlannedReminder plannedAt(int index, ReminderPhrase phrase = ReminderPhrase::timeForRoziv,
                                 bool oneHour = false, std::uint64_t counter = 0) {
    return PlannedReminder{payloadAt(index, counter), phrase, oneHour};
}

// Runs `task` to its end in the background and raises `done` then.
inline QCoro::Task<void> track(QCoro::Task<void> task, bool& done) {
    co_await task;
    done = true;
}

template <class T> QCoro::Task<void> capture(QCoro::Task<T> task, std::optional<T>& result) {
    result = co_await task;
}

} // namespace DewlightRemindersTesting
