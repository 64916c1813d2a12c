#pragma once

#include "platform/instance/InstanceChannel.h"

#include <memory>

namespace DewlightPlatform {

// Several launches in one process, for tests: the channels made from one hub share one claim.
class LocalInstanceHub {
public:
    struct State {
        bool busAvailable = true;
        bool answering = true;
        std::optional<qint64> holder;
        std::function<void()> show;
        int handovers = 0;
    };

    std::unique_ptr<InstanceChannel> channel(qint64 process);
    State& state() { return *state_; }
    // The first instance ends: the claim is free.
    void release() {
        state_->holder.reset();
        state_->show = nullptr;
    }

private:
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

class LocalInstanceChannel final : public InstanceChannel {
public:
    LocalInstanceChannel(std::shared_ptr<LocalInstanceHub::State> state, qint64 process)
        : state_(std::move(state)), process_(process) {}

    Claim claim(std::function<void()> show) override {
        if (!state_->busAvailable)
            return Claim::none;
        if (state_->holder && *state_->holder != process_)
            return Claim::taken;
        state_->holder = process_;
        state_->show = std::move(show);
        return Claim::first;
    }
    Handover handOver(std::chrono::milliseconds) override {
        if (!state_->holder)
            return Handover::gone;
        if (!state_->answering)
            return Handover::noAnswer;
        ++state_->handovers;
        if (state_->show)
            state_->show();
        return Handover::shown;
    }
    std::optional<qint64> holder() const override { return state_->holder; }

private:
    std::shared_ptr<LocalInstanceHub::State> state_;
    qint64 process_;
};

inline std::unique_ptr<InstanceChannel> LocalInstanceHub::channel(qint64 process) {
    return std::make_unique<LocalInstanceChannel>(state_, process);
}

} // namespace DewlightPlatform
