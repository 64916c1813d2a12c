#pragma once

#include <optional>
#include <string>
#include <variant>

namespace DewlightStorage {

// Decides which account marker's cloud data may be used. A new marker becomes active only after
// both reports of an account switch have arrived: the identity read anew, and the key-value store's
// account-change notice. They come through independent channels, in either order.
class AccountAuthority {
public:
    struct Active {
        std::string marker;
        bool operator==(const Active&) const = default;
    };
    // The key-value store reported an account change while `marker` was active.
    struct AwaitingIdentity {
        std::string marker;
        bool operator==(const AwaitingIdentity&) const = default;
    };
    // Another identity (or none) was read while `previous` was active.
    struct AwaitingCloud {
        std::string previous;
        std::optional<std::string> next;
        bool operator==(const AwaitingCloud&) const = default;
    };
    struct Idle {
        bool operator==(const Idle&) const = default;
    };
    using State = std::variant<Idle, Active, AwaitingIdentity, AwaitingCloud>;

    const State& state() const { return state_; }

    // Every construction of account data reports the marker it just read (none without a cloud).
    void adopt(const std::optional<std::string>& identity);
    // The identity changed and was read again.
    void observe(const std::optional<std::string>& identity);
    // The key-value store reported an account change.
    void accountChanged();

private:
    State state_ = Idle{};
};

} // namespace DewlightStorage
