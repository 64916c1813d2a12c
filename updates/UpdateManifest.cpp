#include "updates/UpdateManifest.h"

#include "updates/UpdateFailure.h"

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>

namespace DewlightUpdates {

UpdateManifest UpdateManifest::decode(std::string_view data) {
    if (data.size() > maximumBytes)
        throw UpdateFailureError(UpdateFailure::unreadable);

    // Not through the codec: its ordered objects copy their members as they grow, a recursion as
    // deep as the nesting, which a manifest from the network may make as deep as its size allows.
    // Duplicate keys resolve as the library does: the last one wins.
    const nlohmann::json document = nlohmann::json::parse(data, nullptr, false);
    if (document.is_discarded() || !document.is_object())
        throw UpdateFailureError(UpdateFailure::unreadable);

    const auto format = document.find("format");
    const auto apps = document.find("apps");
    // "format" is a signed 64-bit integer written as a JSON integer: 1.0 or "1" is no integer.
    if (format == document.end() || !format->is_number_integer() ||
        (format->is_number_unsigned() &&
         format->get<std::uint64_t>() >
             static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())))
        throw UpdateFailureError(UpdateFailure::unreadable);
    if (apps == document.end() || !apps->is_object())
        throw UpdateFailureError(UpdateFailure::unreadable);
    if (format->get<std::int64_t>() != 1)
        throw UpdateFailureError(UpdateFailure::unknownFormat);

    UpdateManifest manifest;
    for (const auto& [app, entry] : apps->items()) {
        if (!entry.is_string())
            continue;
        if (auto version = AppVersion::parse(entry.get_ref<const std::string&>()))
            manifest.versions.insert_or_assign(app, std::move(*version));
    }
    return manifest;
}

} // namespace DewlightUpdates
