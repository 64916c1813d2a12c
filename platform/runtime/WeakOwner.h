#pragma once

#include "platform/runtime/Job.h"

#include <functional>
#include <memory>
#include <utility>

// The one lifetime rule. Work that may run after the call that set it up (a signal connection, a
// call posted to a later turn, a callback handed to another object, a coroutine, a job) reaches
// the object it works for, its owner, in one of four ways and no other:
// 1. A signal connection, and a call queued or timed on a QObject (`QMetaObject::invokeMethod`,
//    `QTimer::singleShot`), names a QObject context that dies with the owner: the owner itself
//    when it is a QObject, else a QObject member the owner keeps for the purpose. Qt drops the
//    connection and any call still queued with the context. No connection goes without one.
// 2. Anything else (a callback handed to another object, `postToNextTurn`, a coroutine, a job)
//    holds the owner through a std::weak_ptr: `weakly()` wraps a callback, `spawnWeak()` starts
//    a job, and a coroutine takes or makes the weak pointer before its first co_await. It locks
//    the owner at the start of each piece of work and again after every co_await, never keeps it
//    locked across one, and does nothing once the owner is gone. An owner gets its weak pointer
//    from a `WeakOwner` member, however it is held (no enable_shared_from_this: how an owner is
//    held is its holder's business); an owner whose state lives in a shared block hands out weak
//    pointers to that block.
// 3. Work the owner keeps and ends itself needs no guard: a callback set on a member may capture
//    `this`, and a job the owner cancels in its destructor may use `this` while its token is not
//    cancelled, checked after every co_await.
// 4. A callback or value the view tree keeps (a button's action, an appear or resize handler, a
//    view's login item or update notifier) reaches the QObject it acts on (a view model, the
//    login item, a window, the application) through a QPointer, checked at each use. The tree
//    is rebuilt from values and copied at every build, so it has no QObject context of its own
//    to name, and the widget that holds it may outlive that QObject; those QObjects are held by a
//    Qt parent or a unique_ptr, and the QPointer is the weak pointer Qt keeps for them. Outside
//    the tree, a QPointer only watches a widget or window that Qt may delete (a host, a native
//    window, the snapshot window).
// The services the work uses but does not answer to (a centre, a feed) it may hold by shared_ptr
// to its end. No QPointer but those of 4, no lifetime token of another type, no guard per class.
namespace DewlightPlatform {

// The weak pointer of an owner, held however its holder likes. It never keeps the owner alive: a
// lock only says that the owner still lives, so use what it gives at once, and never after the next
// co_await or a call that may destroy the owner (lock again instead). Declare it as the owner's
// last member, so that it expires before the rest of the owner is destroyed.
template <typename Owner> class WeakOwner {
public:
    explicit WeakOwner(Owner* owner) : anchor_(owner, [](Owner*) {}) {}
    WeakOwner(const WeakOwner&) = delete;
    WeakOwner& operator=(const WeakOwner&) = delete;

    std::weak_ptr<Owner> weak() const { return anchor_; }

private:
    std::shared_ptr<Owner> anchor_;
};

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
