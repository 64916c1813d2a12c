#include "storage/AccountSession.h"

#include "core/Versioned.h"
#include "platform/storage/IdentityTokenSource.h"
#include "platform/storage/UserDefaults.h"

#include <QUuid>

namespace DewlightStorage {

using DewlightCore::Versioned;
using Registry = std::vector<AccountIdentityEntry>;

std::string makeAccountMarker() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
}

AccountSession AccountIdentityStore::current() {
    const AccountSession failedSession{unavailableMarker, false, true};
    // Defaults that exist but cannot be read hold the markers given so far: never start afresh.
    if (!defaults_.readable())
        return failedSession;
    const auto token = tokens_.currentToken();
    if (!token) {
        auto marker = defaults_.text(localKey).value_or(makeAccountMarker());
        defaults_.setText(localKey, marker);
        return {marker, false, false};
    }

    auto candidate = makeAccountMarker();
    const auto archive = tokens_.archive(*token);
    if (!archive)
        return failedSession;

    Registry registry;
    if (const auto stored = defaults_.bytes(registryKey)) {
        try {
            registry = DewlightCore::Json::decode<Versioned<Registry>>(
                           DewlightCore::Json::parse(stored->toStdString()))
                           .value();
        } catch (const std::exception&) {
            // Never overwrite a registry we cannot read: it holds every marker given so far.
            return failedSession;
        }
    }

    std::optional<std::string> marker;
    for (const auto& entry : registry) {
        // Entries that cannot be read are passed over and kept.
        const auto unarchived = tokens_.unarchive(entry.archive);
        const auto* known = std::get_if<DewlightPlatform::IdentityToken>(&unarchived);
        if (known && *known == *token) {
            marker = entry.marker;
            break;
        }
    }
    if (!marker) {
        registry.push_back({*archive, candidate});
        marker = candidate;
    }

    try {
        const auto encoded = DewlightCore::Json::serialize(
            DewlightCore::Json::encode(Versioned<Registry>(registry)));
        defaults_.setBytes(registryKey, QByteArray::fromStdString(encoded));
    } catch (const std::exception&) {
        // The marker still serves this session; the next call makes a new one.
    }
    return {*marker, true, false};
}

} // namespace DewlightStorage

namespace DewlightPlatform {

using namespace DewlightCore;

JsonValue JsonCodec<DewlightStorage::AccountIdentityEntry>::encode(
    const DewlightStorage::AccountIdentityEntry& entry) {
    JsonValue json = JsonValue::object();
    json["archive"] = Json::encode(entry.archive);
    json["marker"] = entry.marker;
    return json;
}

DewlightStorage::AccountIdentityEntry
JsonCodec<DewlightStorage::AccountIdentityEntry>::decode(const JsonValue& json) {
    return {Json::field<QByteArray>(json, "archive"), Json::field<std::string>(json, "marker")};
}

} // namespace DewlightPlatform
