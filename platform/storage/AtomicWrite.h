#pragma once

// Writing a file atomically: a temporary beside it, synced, then renamed over it.

#include <QByteArray>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

namespace DewlightPlatform::AtomicWrite {

// Points inside a write, named so that a test can stop the process at each of them and see that
// the target holds the old or the new bytes.
enum class Stage { halfWritten, tempSynced, previousKept, renamed };
using StageHook = std::function<void(Stage)>;

// Writes into a hidden temporary file in the target's folder, flushes it to disk, renames it over
// the target and flushes the folder, so a crash leaves the old file or the new one. With
// `previous`, the replaced file is kept under that name first. The folder must exist.
bool write(const std::filesystem::path& target, const QByteArray& bytes,
           const std::optional<std::filesystem::path>& previous = std::nullopt,
           const StageHook& hook = {});

// The file a write to `target` replaces: `target` itself, or for a symbolic link the file the
// link finally names, so that the link stays and its target is what changes. None for a link that
// cannot be followed (dangling, a loop): there is nothing to replace, and the link is the user's.
std::optional<std::filesystem::path> linkTarget(const std::filesystem::path& target);

// True when `name` is one of the temporary names that `write` uses: ".<target>.tmp-XXXXXX".
bool isTemporaryName(const std::string& name);

// Removes from `folder` the temporary files that a write killed before its rename left behind,
// once they are older than `age` (a younger one may belong to a write still going on). Only
// regular files named by `write` are touched; a folder that cannot be read is left as it is.
void removeStaleTemporaries(const std::filesystem::path& folder,
                            std::chrono::seconds age = std::chrono::minutes(1));

} // namespace DewlightPlatform::AtomicWrite
