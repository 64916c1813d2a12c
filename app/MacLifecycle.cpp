#include "app/MacLifecycle.h"

#include "platform/runtime/EventLoop.h"
#include "platform/runtime/WeakOwner.h"

#include <array>
#include <cstddef>

namespace DewlightApp {

using DewlightPlatform::SystemEvent;

namespace {
constexpr std::size_t eventKinds = static_cast<std::size_t>(SystemEvent::identityChanged) + 1;
} // namespace

struct MacLifecycle::State {
    Handler handler;
    std::array<bool, eventKinds> pending{};
};

MacLifecycle::MacLifecycle(DewlightPlatform::SystemEvents& events, Handler handler)
    : state_(std::make_shared<State>()), observer_(std::make_unique<QObject>()) {
    state_->handler = std::move(handler);
    QObject::connect(&events, &DewlightPlatform::SystemEvents::occurred, observer_.get(),
                     [this](SystemEvent event) {
                         const auto kind = static_cast<std::size_t>(event);
                         if (kind >= eventKinds || state_->pending[kind]) {
                             return;
                         }
                         state_->pending[kind] = true;
                         DewlightPlatform::postToNextTurn(DewlightPlatform::weakly(
                             std::weak_ptr(state_), [kind, event](State& state) {
                                 state.pending[kind] = false;
                                 if (state.handler) {
                                     state.handler(event == SystemEvent::identityChanged);
                                 }
                             }));
                     });
}

MacLifecycle::~MacLifecycle() = default;

} // namespace DewlightApp
