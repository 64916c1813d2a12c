#include "storage/PreferenceRecord.h"

#include "storage/JsonBytes.h"

#include <algorithm>

namespace DewlightStorage::KestraPreferencesCore {

bool PreferenceRecord::isValid() const {
    return version == currentVersion && revision != 0 && !writer.empty() &&
           writer.size() <= maximumWriterBytes &&
           (!payload || static_cast<std::size_t>(payload->size()) <= maximumPayloadBytes);
}

namespace {
bool precedes(const QByteArray& a, const QByteArray& b) {
    const auto byte = [](char c) { return static_cast<unsigned char>(c); };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return byte(x) < byte(y); });
}
} // namespace

const PreferenceRecord& PreferenceRecord::resolve(const PreferenceRecord& local,
                                                  const PreferenceRecord& other) {
    if (local.revision != other.revision)
        return local.revision > other.revision ? local : other;
    if (local.writer != other.writer)
        return local.writer > other.writer ? local : other;
    if (!local.payload)
        return local;
    if (!other.payload)
        return other;
    return precedes(*local.payload, *other.payload) ? other : local;
}

} // namespace DewlightStorage::KestraPreferencesCore

namespace DewlightPlatform {

using namespace DewlightCore;

using DewlightStorage::KestraPreferencesCore::PreferenceRecord;

JsonValue JsonCodec<PreferenceRecord>::encode(const PreferenceRecord& record) {
    JsonValue json = JsonValue::object();
    json["version"] = record.version;
    json["revision"] = record.revision;
    json["writer"] = record.writer;
    if (record.payload)
        json["payload"] = Json::encode(*record.payload);
    return json;
}

PreferenceRecord JsonCodec<PreferenceRecord>::decode(const JsonValue& json) {
    const auto version = Json::field<std::int64_t>(json, "version");
    PreferenceRecord record(Json::field<std::uint64_t>(json, "revision"),
                            Json::field<std::string>(json, "writer"),
                            Json::fieldIfPresent<QByteArray>(json, "payload"));
    record.version = version;
    return record;
}

} // namespace DewlightPlatform
