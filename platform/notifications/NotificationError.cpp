#include "platform/notifications/NotificationError.h"

namespace DewlightPlatform {

namespace {

const char* describe(NotificationFailure failure) {
    switch (failure) {
    case NotificationFailure::serviceUnavailable:
        return "no notification service is available on the session bus";
    case NotificationFailure::serviceNotResponding:
        return "the notification service did not answer in time";
    case NotificationFailure::invalidRequest:
        return "the notification request is not valid";
    }
    return "notification failure";
}

} // namespace

NotificationError::NotificationError(NotificationFailure failure)
    : std::runtime_error(describe(failure)), failure_(failure) {}

} // namespace DewlightPlatform
