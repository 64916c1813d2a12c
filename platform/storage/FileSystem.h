#pragma once

#include <QByteArray>
#include <filesystem>
#include <optional>

namespace DewlightPlatform {

// The few file operations the application's own data needs. Failures are plain answers: callers
// map them to their own typed errors and never see the system's.
class FileSystem {
public:
    using Path = std::filesystem::path;
    virtual ~FileSystem() = default;

    // The application's data folder, or none when it cannot be determined.
    virtual std::optional<Path> dataFolder() const = 0;
    // Creates the folder and its parents; an existing folder is fine.
    [[nodiscard]] virtual bool createFolders(const Path& folder) = 0;
    // True for any entry of that name, a symbolic link that cannot be followed included.
    virtual bool exists(const Path& path) const = 0;
    // The whole file, or none when it cannot be read.
    virtual std::optional<QByteArray> read(const Path& file) const = 0;
    // Replaces the file whole: afterwards it holds the old bytes or the new ones, never a mix,
    // even after a crash. The folder must exist. A symbolic link is written through to its
    // target and stays; one that cannot be followed is not replaced (false).
    [[nodiscard]] virtual bool writeAtomically(const Path& file, const QByteArray& bytes) = 0;
};

} // namespace DewlightPlatform
