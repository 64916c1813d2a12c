#pragma once

#include "platform/runtime/EventLoop.h"

#include <QCoro/QCoroTask>
#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <variant>

// Watches a task from a test: whether it ended, with what value or exception.
template <typename T> class TaskProbe {
public:
    using Value = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

    explicit TaskProbe(QCoro::Task<T> task) : state_(std::make_shared<State>()) {
        QCoro::Task<void> watching = watch(std::move(task), state_);
        (void)watching;
    }

    bool done() const { return state_->done; }
    bool failed() const { return state_->error != nullptr; }

    // The value, or the task's exception rethrown. Requires done().
    Value get() const {
        if (!state_->done) {
            throw std::logic_error("the task has not ended");
        }
        if (state_->error) {
            std::rethrow_exception(state_->error);
        }
        return *state_->value;
    }

    // Runs the event loop until the task ended, then get().
    Value wait(std::chrono::milliseconds timeout = std::chrono::seconds(5)) const {
        DewlightPlatform::runUntilIdle();
        DewlightPlatform::runUntil([this] { return done(); }, timeout);
        return get();
    }

private:
    struct State {
        bool done = false;
        std::optional<Value> value;
        std::exception_ptr error;
    };

    static QCoro::Task<void> watch(QCoro::Task<T> task, std::shared_ptr<State> state) {
        try {
            if constexpr (std::is_void_v<T>) {
                co_await task;
                state->value.emplace();
            } else {
                state->value.emplace(co_await task);
            }
        } catch (...) {
            state->error = std::current_exception();
        }
        state->done = true;
    }

    std::shared_ptr<State> state_;
};

template <typename T> TaskProbe<T> probe(QCoro::Task<T> task) {
    return TaskProbe<T>(std::move(task));
}

template <typename T> auto awaitTask(QCoro::Task<T> task) {
    return TaskProbe<T>(std::move(task)).wait();
}
