#include "updates/UpdateSchedule.h"

namespace DewlightUpdates {

namespace {

// Written as "not inside" so that a date that compares with nothing (NaN) leaves a check due
// rather than silencing the checker for good.
bool outside(double now, double start, double window) {
    return !(now >= start && now < start + window);
}

} // namespace

bool UpdateSchedule::isDue(const Last& last, double now) {
    if (const auto* answered = std::get_if<Answered>(&last))
        return outside(now, answered->at, answeredWindow);
    if (const auto* failed = std::get_if<Failed>(&last))
        return outside(now, failed->at, failedWindow);
    return true;
}

} // namespace DewlightUpdates
