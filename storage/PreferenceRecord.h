#pragma once

#include "core/Json.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace DewlightStorage::KestraPreferencesCore {

// One synced preference value as it is stored in both the local and the shared store. The
// revision and writer let two copies that drifted apart be merged without a clock; a removal is a
// record without payload, so that it travels and wins like a write.
struct PreferenceRecord {
    static constexpr std::int64_t currentVersion = 1;
    static constexpr std::size_t maximumPayloadBytes = 32768;
    static constexpr std::size_t maximumWriterBytes = 128;
    // A stored text longer than this is not even parsed.
    static constexpr std::size_t maximumStoredBytes = 65536;

    std::int64_t version = currentVersion;
    std::uint64_t revision = 0;
    std::string writer;
    std::optional<QByteArray> payload;

    PreferenceRecord(std::uint64_t revision, std::string writer, std::optional<QByteArray> payload)
        : revision(revision), writer(std::move(writer)), payload(std::move(payload)) {}

    // A record that decodes but breaks these limits counts as no record at all.
    bool isValid() const;

    // The winner of two copies, whole: the higher revision; then the greater writer text; then
    // a removal; then the greater payload in unsigned byte order; `local` when identical.
    static const PreferenceRecord& resolve(const PreferenceRecord& local,
                                           const PreferenceRecord& other);

    bool operator==(const PreferenceRecord&) const = default;
};

} // namespace DewlightStorage::KestraPreferencesCore

namespace DewlightPlatform {
// {"version", "revision", "writer", "payload"}: the first three required, "payload" a padded
// standard Base64 string, left out for a removal (missing or null reads as a removal), other keys
// ignored.
template <> struct JsonCodec<DewlightStorage::KestraPreferencesCore::PreferenceRecord> {
    static JsonValue encode(const DewlightStorage::KestraPreferencesCore::PreferenceRecord& record);
    static DewlightStorage::KestraPreferencesCore::PreferenceRecord decode(const JsonValue& json);
};
} // namespace DewlightPlatform
