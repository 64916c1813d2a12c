#pragma once

#include "core/DomainError.h"
#include "core/Json.h"

#include <compare>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace DewlightCore {

// An identity text: 1 to 256 bytes of ASCII letters, digits and "-", "_", ".", ":". The rule
// keeps identities safe inside storage keys, file names and notification identifiers.
struct IdentityRule {
    static constexpr std::size_t maximumBytes = 256;

    static bool isValid(std::string_view text) {
        if (text.empty() || text.size() > maximumBytes)
            return false;
        for (const char c : text) {
            const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                 (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
                                 c == ':';
            if (!allowed)
                return false;
        }
        return true;
    }
};

// A validated identifier, kept apart by its tag type: a drink's identity is never a writer's.
// Equal, hashed and ordered by its text, byte by byte (a prefix sorts before its extensions,
// upper case before lower case).
template <class Tag> class Identity {
public:
    // Throws `invalidIdentity` when the text breaks the identity rule.
    explicit Identity(std::string rawValue) : rawValue_(std::move(rawValue)) {
        if (!IdentityRule::isValid(rawValue_))
            throw DomainError::invalidIdentity();
    }

    const std::string& rawValue() const { return rawValue_; }

    friend bool operator==(const Identity&, const Identity&) = default;
    friend std::strong_ordering operator<=>(const Identity&, const Identity&) = default;

private:
    std::string rawValue_;
};

// The tags: types without values, there only to tell identities apart.
struct DrinkTag final {
    DrinkTag() = delete;
};
struct ClickGroupTag final {
    ClickGroupTag() = delete;
};
struct WriterTag final {
    WriterTag() = delete;
};
struct AccountTag final {
    AccountTag() = delete;
};
struct ReminderTag final {
    ReminderTag() = delete;
};
struct ActionReceiptTag final {
    ActionReceiptTag() = delete;
};

} // namespace DewlightCore

// A bare JSON string; a text that breaks the rule is `invalidIdentity`.
template <class Tag> struct DewlightPlatform::JsonCodec<DewlightCore::Identity<Tag>> {
    using Identity = DewlightCore::Identity<Tag>;

    static JsonValue encode(const Identity& identity) { return identity.rawValue(); }
    static Identity decode(const JsonValue& json) {
        return Identity(Json::decode<std::string>(json));
    }
};

template <class Tag> struct std::hash<DewlightCore::Identity<Tag>> {
    std::size_t operator()(const DewlightCore::Identity<Tag>& identity) const noexcept {
        return std::hash<std::string>{}(identity.rawValue());
    }
};
