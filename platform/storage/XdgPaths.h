#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace DewlightPlatform {

// Where this user's files live, following the XDG base-directory rules: a variable that is unset,
// empty or relative falls back to the folder under $HOME.
struct XdgPaths {
    std::optional<std::filesystem::path> dataFolder;   // $XDG_DATA_HOME/Dewlight
    std::optional<std::filesystem::path> defaultsFile; // $XDG_STATE_HOME/dewlight/defaults.json
    std::optional<std::filesystem::path> syncFolder;   // $XDG_DATA_HOME/Dewlight/Sync
    std::optional<std::filesystem::path> instanceLock; // $XDG_DATA_HOME/Dewlight/dewlight.lock

    using Environment = std::function<std::optional<std::string>(const char*)>;
    static XdgPaths from(const Environment& environment);
    // Reads the process environment; called once by the application's entry.
    static XdgPaths fromProcessEnvironment();
};

} // namespace DewlightPlatform
