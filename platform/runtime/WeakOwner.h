#pragma once

#include "platform/runtime/Job.h"

#include <functional>
#include <memory>
#include <utility>

// Work that calls back into its owner holds the owner weakly: it locks the owner at the start of
// each piece of work and again after every suspension, and does nothing once the owner is gone.
// A coroutine never keeps the owner locked across a co_await.
namespace DewlightPlatform {

// A callable that forwards its arguments to `function(owner, arguments...)` while `owner` lives
// and does nothing afterwards.
template <typename Owner, typename Function>
auto weakly(std::weak_ptr<Owner> owner, Function function) {
    return [owner = std::move(owner), function = std::move(function)](auto&&... arguments) {
        if (const auto strong = owner.lock()) {
            std::invoke(function, *strong, std::forward<decltype(arguments)>(arguments)...);
        }
    };
}

// Spawns `body(owner, token)` as a job, where `body` returns QCoro::Task<void>. The body runs only
// if the owner still lives when the job starts; after each of its suspensions it locks the owner
// itself and stops when that fails.
template <typename Owner, typename Body> Job spawnWeak(std::weak_ptr<Owner> owner, Body body) {
    return Job::spawn(
        [owner = std::move(owner), body = std::move(body)](CancelToken token) -> QCoro::Task<void> {
            if (owner.expired()) {
                co_return;
            }
            QCoro::Task<void> work = body(owner, std::move(token));
            co_await work;
        });
}

} // namespace DewlightPlatform
