#include "updates/UpdateFailure.h"

namespace DewlightUpdates {

std::string_view name(UpdateFailure failure) {
    switch (failure) {
    case UpdateFailure::unreachable:
        return "unreachable";
    case UpdateFailure::unreadable:
        return "unreadable";
    case UpdateFailure::unknownFormat:
        return "unknownFormat";
    }
    return "unreachable";
}

const char* UpdateFailureError::what() const noexcept {
    return name(failure_).data();
}

} // namespace DewlightUpdates
