#include "app/SerialActions.h"

#include <utility>

namespace DewlightApp {

using DewlightPlatform::Job;

SerialActions::SerialActions() : shared_(std::make_shared<Shared>()) {}

Job SerialActions::enqueue(Operation operation) {
    Job job =
        Job::spawn([shared = shared_, predecessor = shared_->tail, captured = shared_->session,
                    operation = std::move(operation)]() -> QCoro::Task<void> {
            co_await predecessor;
            // Checked after the wait, so a bump also drops what queued behind a running operation.
            if (captured != shared->session) {
                co_return;
            }
            QCoro::Task<void> running = operation();
            co_await running;
        });
    shared_->tail = job;
    return job;
}

} // namespace DewlightApp
