#include "platform/runtime/CancelToken.h"

#include <algorithm>
#include <utility>

namespace DewlightPlatform {

struct CancelToken::Subscription::State {
    bool cancelled = false;
    std::uint64_t nextId = 1;
    std::vector<std::pair<std::uint64_t, std::function<void()>>> callbacks;
};

CancelToken::Subscription::Subscription(std::weak_ptr<State> state, std::uint64_t id)
    : state_(std::move(state)), id_(id) {}

CancelToken::Subscription::Subscription(Subscription&& other) noexcept
    : state_(std::move(other.state_)), id_(std::exchange(other.id_, 0)) {}

CancelToken::Subscription& CancelToken::Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        release();
        state_ = std::move(other.state_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

CancelToken::Subscription::~Subscription() {
    release();
}

void CancelToken::Subscription::release() {
    if (auto state = state_.lock()) {
        std::erase_if(state->callbacks, [this](const auto& entry) { return entry.first == id_; });
    }
    state_.reset();
    id_ = 0;
}

CancelToken::CancelToken() : state_(std::make_shared<Subscription::State>()) {}

bool CancelToken::isCancelled() const {
    return state_->cancelled;
}

void CancelToken::cancel() const {
    if (state_->cancelled) {
        return;
    }
    state_->cancelled = true;
    auto callbacks = std::move(state_->callbacks);
    state_->callbacks.clear();
    for (auto& entry : callbacks) {
        entry.second();
    }
}

CancelToken::Subscription CancelToken::onCancel(std::function<void()> callback) const {
    if (state_->cancelled) {
        return {};
    }
    const auto id = state_->nextId++;
    state_->callbacks.emplace_back(id, std::move(callback));
    return Subscription(state_, id);
}

} // namespace DewlightPlatform
