#pragma once

#include "core/Json.h"
#include "storage/JsonBytes.h"

#include <QByteArray>
#include <string>

namespace DewlightPlatform {
class IdentityTokenSource;
class UserDefaults;
} // namespace DewlightPlatform

namespace DewlightStorage {

// The account every piece of stored data belongs to, named by a marker that stays with the same
// signed-in identity on this computer and never reveals the identity itself.
struct AccountSession {
    std::string id;
    bool cloudAvailable = false;
    bool failed = false;

    bool operator==(const AccountSession&) const = default;
};

// One signed-in identity the registry has seen, and the marker given to it.
struct AccountIdentityEntry {
    QByteArray archive;
    std::string marker;

    bool operator==(const AccountIdentityEntry&) const = default;
};

// Turns the signed-in identity (or its absence) into an account session, through a registry kept
// in this computer's defaults. The registry only grows.
class AccountIdentityStore {
public:
    static constexpr const char* registryKey = "identity.registry";
    static constexpr const char* localKey = "identity.local";
    // The marker of a session whose identity could not be turned into one.
    static constexpr const char* unavailableMarker = "unavailable";

    AccountIdentityStore(DewlightPlatform::UserDefaults& defaults,
                         const DewlightPlatform::IdentityTokenSource& tokens)
        : defaults_(defaults), tokens_(tokens) {}

    // Never throws.
    AccountSession current();

    DewlightPlatform::UserDefaults& defaults() const { return defaults_; }

private:
    DewlightPlatform::UserDefaults& defaults_;
    const DewlightPlatform::IdentityTokenSource& tokens_;
};

// A fresh marker: a random UUID in upper-case canonical form.
std::string makeAccountMarker();

} // namespace DewlightStorage

namespace DewlightPlatform {
template <> struct JsonCodec<DewlightStorage::AccountIdentityEntry> {
    static JsonValue encode(const DewlightStorage::AccountIdentityEntry& entry);
    static DewlightStorage::AccountIdentityEntry decode(const JsonValue& json);
};
} // namespace DewlightPlatform
