#pragma once

#include "storage/AccountAuthority.h"

#include <functional>
#include <optional>
#include <string>

namespace DewlightStorage {

// Binds one account-data instance to the marker it was opened for.
class AccountBoundary {
public:
    enum class Phase { ready, suspended };
    // Reads the identity anew: the marker of the current session when it has a cloud, else none.
    using CurrentMarker = std::function<std::optional<std::string>()>;

    AccountBoundary(std::string expected, CurrentMarker current, const AccountAuthority& authority)
        : expected_(std::move(expected)), current_(std::move(current)), authority_(authority) {}

    const std::string& expected() const { return expected_; }
    std::optional<std::string> current() const { return current_(); }
    Phase phase() const { return phase_; }
    const AccountAuthority& authority() const { return authority_; }

    // Only the construction of the account data suspends, and nothing makes a boundary ready
    // again: a new account-data instance is built instead.
    void suspend() { phase_ = Phase::suspended; }

private:
    std::string expected_;
    CurrentMarker current_;
    const AccountAuthority& authority_;
    Phase phase_ = Phase::ready;
};

// The one rule every cloud read and write asks first. Nothing is cached: each question re-reads
// the identity.
class AccountCloudFence {
public:
    explicit AccountCloudFence(const AccountBoundary& boundary) : boundary_(boundary) {}

    bool isOpen() const;
    const AccountBoundary& boundary() const { return boundary_; }

private:
    const AccountBoundary& boundary_;
};

} // namespace DewlightStorage
