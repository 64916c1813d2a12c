#include "platform/runtime/Wakeup.h"

#include "platform/runtime/EventLoop.h"

#include <QtGlobal>
#include <utility>

namespace DewlightPlatform {

namespace {

void resumeLater(std::coroutine_handle<> waiter) {
    postToNextTurn([waiter] { waiter.resume(); });
}

} // namespace

Wakeup::Wakeup() : state_(std::make_shared<State>()) {}

void Wakeup::fire(bool result) const {
    if (state_->result) {
        return;
    }
    state_->result = result;
    if (auto waiter = std::exchange(state_->waiter, nullptr)) {
        resumeLater(waiter);
    }
}

bool Wakeup::hasFired() const {
    return state_->result.has_value();
}

void Wakeup::suspend(const std::shared_ptr<State>& state, std::coroutine_handle<> waiter) {
    Q_ASSERT(!state->waiter);
    state->waiter = waiter;
}

} // namespace DewlightPlatform
