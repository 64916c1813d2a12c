#pragma once

#include <coroutine>
#include <memory>
#include <optional>

namespace DewlightPlatform {

// A one-shot wake-up for one waiting coroutine: the first fire() decides the result, and the
// waiter always resumes on a later turn of the event loop, never inside fire().
class Wakeup {
public:
    Wakeup();

    // Later calls after the first are ignored.
    void fire(bool result) const;
    bool hasFired() const;

    auto operator co_await() const noexcept {
        struct Awaiter {
            std::shared_ptr<State> state;
            bool await_ready() const noexcept { return state->result.has_value(); }
            void await_suspend(std::coroutine_handle<> waiter) const { suspend(state, waiter); }
            bool await_resume() const noexcept { return *state->result; }
        };
        return Awaiter{state_};
    }

private:
    struct State {
        std::optional<bool> result;
        std::coroutine_handle<> waiter;
    };
    static void suspend(const std::shared_ptr<State>& state, std::coroutine_handle<> waiter);
    std::shared_ptr<State> state_;
};

} // namespace DewlightPlatform
