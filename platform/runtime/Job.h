#pragma once

#include "platform/runtime/CancelToken.h"

#include <QCoro/QCoroTask>
#include <concepts>
#include <coroutine>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace DewlightPlatform {

// Spawned work on the main thread's event loop. Unlike a bare QCoro task, a job
// - starts on a later turn, never inside the call that spawns it;
// - can be awaited by any number of coroutines, each resumed on a later turn when it ends;
// - can be cancelled cooperatively: its body receives the job's token (sleeps end early), and a
//   job cancelled before it started never runs its body;
// - logs what its body throws, so no failure is lost when nobody awaits it;
// - keeps the callable it was spawned from alive until the body ended, since a coroutine
//   lambda's captures live in the lambda object, not in the coroutine frame.
// Copies are handles to the same job. A default-constructed job counts as already done.
class Job {
public:
    Job() = default;

    // `body` is a callable returning QCoro::Task<void>, taking a CancelToken or nothing.
    template <typename Body> static Job spawn(Body body) {
        return Job(std::make_shared<BodyOf<std::decay_t<Body>>>(std::move(body)));
    }

    // Requests cancellation; the body decides when it stops.
    void cancel() const;
    bool isCancelled() const;
    // True once the body returned or threw, or the job was dropped unstarted after cancel().
    bool isDone() const;
    // True when the body ended by throwing.
    bool hasFailed() const;
    CancelToken token() const;

    bool operator==(const Job& other) const { return state_ == other.state_; }

    auto operator co_await() const noexcept {
        struct Awaiter {
            std::shared_ptr<State> state;
            bool await_ready() const noexcept { return !state || state->done; }
            void await_suspend(std::coroutine_handle<> waiter) const {
                state->waiters.push_back(waiter);
            }
            void await_resume() const noexcept {}
        };
        return Awaiter{state_};
    }

private:
    struct BodyBase {
        virtual ~BodyBase() = default;
        virtual QCoro::Task<void> start(CancelToken token) = 0;
    };

    template <typename F> struct BodyOf final : BodyBase {
        explicit BodyOf(F f) : function(std::move(f)) {}
        QCoro::Task<void> start(CancelToken token) override {
            if constexpr (std::is_invocable_v<F&, CancelToken>) {
                return function(std::move(token));
            } else {
                static_assert(std::is_invocable_v<F&>, "a job body takes a CancelToken or nothing");
                return function();
            }
        }
        F function;
    };

    struct State {
        CancelToken token;
        std::shared_ptr<BodyBase> body;
        bool done = false;
        bool failed = false;
        std::vector<std::coroutine_handle<>> waiters;
    };

    explicit Job(std::shared_ptr<BodyBase> body);
    static QCoro::Task<void> run(std::shared_ptr<State> state);
    static void finish(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_;
};

} // namespace DewlightPlatform
