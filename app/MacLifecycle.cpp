#include "app/MacLifecycle.h"

#include "platform/runtime/EventLoop.h"

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
    : state_(std::make_shared<State>()) {
    state_->handler = std::move(handler);
    connection_ =
        QObject::connect(&events, &DewlightPlatform::SystemEvents::occurred,
                         [weak = std::weak_ptr<State>(state_)](SystemEvent event) {
                             const auto state = weak.lock();
                             const auto kind = static_cast<std::size_t>(event);
                             if (!state || kind >= eventKinds || state->pending[kind]) {
                                 return;
                             }
                             state->pending[kind] = true;
                             DewlightPlatform::postToNextTurn([weak, kind, event] {
                                 const auto state = weak.lock();
                                 if (!state) {
                                     return;
                                 }
                                 state->pending[kind] = false;
                                 if (state->handler) {
                                     state->handler(event == SystemEvent::identityChanged);
                                 }
                             });
                         });
}

MacLifecycle::~MacLifecycle() {
    QObject::disconnect(connection_);
}

} // namespace DewlightApp
