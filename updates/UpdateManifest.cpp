#include "updates/UpdateManifest.h"

#include "platform/json/Json.h"
#include "updates/UpdateFailure.h"

#include <cstdint>

namespace DewlightUpdates {

UpdateManifest UpdateManifest::decode(std::string_view data) {
    if (data.size() > maximumBytes)
        throw UpdateFailureError(UpdateFailure::unreadable);

    namespace Json = DewlightPlatform::Json;
    // Duplicate keys resolve as the codec does: the last one wins. "format" is a signed 64-bit
    // integer written as a JSON integer: 1.0 or "1" is no integer.
    std::int64_t format = 0;
    DewlightPlatform::JsonValue apps;
    try {
        const auto document = Json::parse(data);
        format = Json::field<std::int64_t>(document, "format");
        apps = Json::at(document, "apps");
    } catch (const DewlightPlatform::DecodingError&) {
        throw UpdateFailureError(UpdateFailure::unreadable);
    }
    if (!apps.is_object())
        throw UpdateFailureError(UpdateFailure::unreadable);
    if (format != 1)
        throw UpdateFailureError(UpdateFailure::unknownFormat);

    UpdateManifest manifest;
    for (const auto& [app, entry] : apps.items()) {
        if (!entry.is_string())
            continue;
        if (auto version = AppVersion::parse(entry.get_ref<const std::string&>()))
            manifest.versions.insert_or_assign(app, std::move(*version));
    }
    return manifest;
}

} // namespace DewlightUpdates
