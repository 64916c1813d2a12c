#pragma once

#include "platform/storage/FileSystem.h"

#include <set>

namespace DewlightPlatform {

// The real file system, with the application's data folder (usually $XDG_DATA_HOME/Dewlight).
// The first time a folder is used, temporary files that an interrupted write left there are
// removed.
class LinuxFileSystem final : public FileSystem {
public:
    explicit LinuxFileSystem(std::optional<Path> dataFolder) : dataFolder_(std::move(dataFolder)) {}

    std::optional<Path> dataFolder() const override { return dataFolder_; }
    bool createFolders(const Path& folder) override;
    bool exists(const Path& path) const override;
    std::optional<QByteArray> read(const Path& file) const override;
    bool writeAtomically(const Path& file, const QByteArray& bytes) override;

private:
    void sweepOnce(const Path& folder) const;

    std::optional<Path> dataFolder_;
    mutable std::set<Path> swept_;
};

} // namespace DewlightPlatform
