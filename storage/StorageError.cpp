#include "storage/StorageError.h"

namespace DewlightStorage {

namespace {

const char* text(LocalStorageFailure failure) {
    switch (failure) {
    case LocalStorageFailure::unavailable:
        return "local storage: unavailable";
    case LocalStorageFailure::corrupted:
        return "local storage: corrupted";
    case LocalStorageFailure::writeFailed:
        return "local storage: writeFailed";
    }
    return "local storage";
}

const char* text(ApplicationIssue issue) {
    switch (issue) {
    case ApplicationIssue::storage:
        return "application issue: storage";
    case ApplicationIssue::invalidData:
        return "application issue: invalidData";
    case ApplicationIssue::accountChanged:
        return "application issue: accountChanged";
    case ApplicationIssue::scheduling:
        return "application issue: scheduling";
    case ApplicationIssue::discardedWorkday:
        return "application issue: discardedWorkday";
    }
    return "application issue";
}

const char* text(RozivPreferenceFailure failure) {
    switch (failure) {
    case RozivPreferenceFailure::invalidSettings:
        return "settings: invalidSettings";
    case RozivPreferenceFailure::notSaved:
        return "settings: notSaved";
    }
    return "settings";
}

} // namespace

const char* StorageError::what() const noexcept {
    return std::visit([](auto failure) { return text(failure); }, failure_);
}

} // namespace DewlightStorage
