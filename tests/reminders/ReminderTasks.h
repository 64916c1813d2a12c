#pragma once

#include "tests/support/ReminderFixtures.h"

#include <QCoro/QCoroTask>
#include <optional>

namespace DewlightRemindersTesting {

using namespace DewlightCoreTesting;

// Runs `task` to its end in the background and raises `done` then.
inline QCoro::Task<void> track(QCoro::Task<void> task, bool& done) {
    co_await task;
    done = true;
}

template <class T> QCoro::Task<void> capture(QCoro::Task<T> task, std::optional<T>& result) {
    result = co_await task;
}

} // namespace DewlightRemindersTesting
