#pragma once

#include "platform/runtime/Job.h"

#include <QCoro/QCoroTask>
#include <cstdint>
#include <functional>
#include <memory>

namespace DewlightApp {

// Runs the model's asynchronous operations one after another, in the order they were enqueued,
// on the main thread. Raising the session drops every operation that has not started yet.
class SerialActions {
public:
    using Operation = std::function<QCoro::Task<void>()>;

    SerialActions();

    // Queues `operation` and returns at once; the operation never runs inside this call. It
    // starts once everything enqueued before it has finished or been dropped, and is dropped when
    // the session changed between this call and its turn. The returned job ends when the
    // operation finished or was dropped.
    DewlightPlatform::Job enqueue(Operation operation);

    std::uint64_t session() const { return shared_->session; }
    // Only the owner raises the session; the queue itself never does.
    void bumpSession() { ++shared_->session; }

    // The job enqueued last; an empty job (already done) when nothing was enqueued.
    DewlightPlatform::Job tail() const { return shared_->tail; }

private:
    // Queued jobs hold this strongly, so they run to their end even after the queue is gone.
    struct Shared {
        DewlightPlatform::Job tail;
        std::uint64_t session = 0;
    };
    std::shared_ptr<Shared> shared_;
};

} // namespace DewlightApp
