#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace DewlightPlatform {

// A cooperative cancellation flag shared by every copy. Work that can be cancelled checks it at
// its suspension points; sleeps end early when it is raised.
class CancelToken {
public:
    // Removes its callback from the token when destroyed.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        Subscription(Subscription&& other) noexcept;
        Subscription& operator=(Subscription&& other) noexcept;
        ~Subscription();

    private:
        friend class CancelToken;
        struct State;
        Subscription(std::weak_ptr<State> state, std::uint64_t id);
        void release();
        std::weak_ptr<State> state_;
        std::uint64_t id_ = 0;
    };

    // A fresh token, not cancelled.
    CancelToken();

    bool isCancelled() const;

    // Raises the flag once; later calls do nothing. Runs the subscribed callbacks at once, in the
    // order they subscribed: callbacks only schedule work, they never resume anything inline.
    void cancel() const;

    // `callback` runs when the token is cancelled, unless the subscription was dropped first. On a
    // token already cancelled it never runs: check isCancelled() first.
    [[nodiscard]] Subscription onCancel(std::function<void()> callback) const;

private:
    std::shared_ptr<Subscription::State> state_;
};

} // namespace DewlightPlatform
