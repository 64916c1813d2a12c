#include "platform/storage/XdgPaths.h"

#include <cstdlib>

namespace DewlightPlatform {

namespace {

std::optional<std::filesystem::path> baseFolder(const XdgPaths::Environment& environment,
                                                const char* variable, const char* underHome) {
    if (auto value = environment(variable); value && !value->empty()) {
        std::filesystem::path path(*value);
        if (path.is_absolute())
            return path;
    }
    if (auto home = environment("HOME"); home && !home->empty()) {
        std::filesystem::path path(*home);
        if (path.is_absolute())
            return path / underHome;
    }
    return std::nullopt;
}

} // namespace

XdgPaths XdgPaths::from(const Environment& environment) {
    XdgPaths paths;
    if (auto data = baseFolder(environment, "XDG_DATA_HOME", ".local/share")) {
        paths.dataFolder = *data / "Dewlight";
        paths.syncFolder = *paths.dataFolder / "Sync";
        paths.instanceLock = *paths.dataFolder / "dewlight.lock";
    }
    if (auto state = baseFolder(environment, "XDG_STATE_HOME", ".local/state"))
        paths.defaultsFile = *state / "dewlight" / "defaults.json";
    return paths;
}

XdgPaths XdgPaths::fromProcessEnvironment() {
    return from([](const char* name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name))
            return std::string(value);
        return std::nullopt;
    });
}

} // namespace DewlightPlatform
