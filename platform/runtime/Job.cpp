#include "platform/runtime/Job.h"

#include "platform/runtime/EventLoop.h"
#include "platform/runtime/Log.h"

#include <exception>

namespace DewlightPlatform {

Job::Job(std::shared_ptr<BodyBase> body) : state_(std::make_shared<State>()) {
    state_->body = std::move(body);
    postToNextTurn([state = state_] {
        // The task may outlive this handle: a QCoro task keeps running when its handle goes.
        QCoro::Task<void> task = run(state);
        (void)task;
    });
}

void Job::cancel() const {
    if (state_) {
        state_->token.cancel();
    }
}

bool Job::isCancelled() const {
    return state_ && state_->token.isCancelled();
}

bool Job::isDone() const {
    return !state_ || state_->done;
}

bool Job::hasFailed() const {
    return state_ && state_->failed;
}

CancelToken Job::token() const {
    return state_ ? state_->token : CancelToken();
}

QCoro::Task<void> Job::run(std::shared_ptr<State> state) {
    if (!state->token.isCancelled()) {
        try {
            QCoro::Task<void> body = state->body->start(state->token);
            co_await body;
        } catch (const std::exception& error) {
            state->failed = true;
            qCWarning(systemLog, "job failed: %s", error.what());
        } catch (...) {
            state->failed = true;
            qCWarning(systemLog, "job failed with an unknown exception");
        }
    }
    finish(state);
}

void Job::finish(const std::shared_ptr<State>& state) {
    state->done = true;
    // This may run inside the body's own final suspension: release the callable (and what it
    // captured) on a later turn, once the body's frame is surely gone.
    postToNextTurn([body = std::move(state->body)]() mutable { body.reset(); });
    state->body = nullptr;
    auto waiters = std::move(state->waiters);
    state->waiters.clear();
    for (auto waiter : waiters) {
        postToNextTurn([waiter] { waiter.resume(); });
    }
}

} // namespace DewlightPlatform
