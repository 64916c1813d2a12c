#pragma once

#include "storage/ApplicationIssue.h"

#include <exception>
#include <optional>
#include <variant>

namespace DewlightStorage {

// Why the committed state of an account could not be read or written.
enum class LocalStorageFailure {
    unavailable, // there is no folder
    corrupted,   // an existing file cannot be read or decoded
    writeFailed, // the folder cannot be created, or the file cannot be encoded or written
};

// The two ways the stored settings can fail the application.
enum class RozivPreferenceFailure {
    invalidSettings, // the stored keys do not make valid settings
    notSaved,        // a written key did not read back
};

// The one exception the persistence layer throws. It carries the failure, and its text names
// the failure's kind and case ("local storage: corrupted"), so a caught or logged error says
// what went wrong without a catch for each enumeration.
class StorageError : public std::exception {
public:
    using Failure = std::variant<LocalStorageFailure, ApplicationIssue, RozivPreferenceFailure>;

    explicit StorageError(Failure failure) : failure_(failure) {}

    const Failure& failure() const { return failure_; }
    // The failure when it is of the enumeration `E`.
    template <class E> std::optional<E> as() const {
        if (const auto* found = std::get_if<E>(&failure_))
            return *found;
        return std::nullopt;
    }

    const char* what() const noexcept override;

    bool operator==(const StorageError& other) const { return failure_ == other.failure_; }

private:
    Failure failure_;
};

} // namespace DewlightStorage
