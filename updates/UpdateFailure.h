#pragma once

#include <exception>
#include <string_view>

namespace DewlightUpdates {

// Why a look for a newer version gave no manifest.
enum class UpdateFailure {
    unreachable,   // no usable answer from the manifest endpoint
    unreadable,    // an answer came, but it is not a manifest
    unknownFormat, // a well-formed manifest of a format this build does not know
};

// The case name, as written to the log.
std::string_view name(UpdateFailure failure);

// Thrown by the feed and the manifest reader; carries the failure kind.
class UpdateFailureError : public std::exception {
public:
    explicit UpdateFailureError(UpdateFailure failure) : failure_(failure) {}
    UpdateFailure failure() const { return failure_; }
    const char* what() const noexcept override;

private:
    UpdateFailure failure_;
};

} // namespace DewlightUpdates
