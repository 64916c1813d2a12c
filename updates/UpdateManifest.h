#pragma once

#include "updates/AppVersion.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace DewlightUpdates {

// The versions manifest: {"format": 1, "apps": {"<app>": "<version>", ...}}.
struct UpdateManifest {
    static constexpr std::size_t maximumBytes = 65'536;

    // Application identifier, exactly as written, to the version it names.
    std::map<std::string, AppVersion> versions;

    // Throws UpdateFailureError: unreadable (too large, not JSON, not the expected shape) or
    // unknownFormat (well formed, but "format" is not 1). Entries whose value is not a text that
    // reads as a version are dropped.
    static UpdateManifest decode(std::string_view data);

    bool operator==(const UpdateManifest&) const = default;
};

} // namespace DewlightUpdates
