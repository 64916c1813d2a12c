#pragma once

#include "platform/storage/FileSystem.h"

#include <map>
#include <set>
#include <vector>

namespace DewlightPlatform {

// An in-memory file tree for tests, with scripted failures. Paths are absolute.
class LocalFileSystem final : public FileSystem {
public:
    explicit LocalFileSystem(std::optional<Path> dataFolder = Path("/home/user/data/Dewlight"))
        : dataFolder_(std::move(dataFolder)) {}

    std::optional<Path> dataFolder() const override { return dataFolder_; }
    bool createFolders(const Path& folder) override;
    bool exists(const Path& path) const override;
    std::optional<QByteArray> read(const Path& file) const override;
    bool writeAtomically(const Path& file, const QByteArray& bytes) override;

    // Test set-up: places a file (and its folders) without counting it as a write.
    void put(const Path& file, const QByteArray& bytes);
    // Nothing can be created or written at or below `path`.
    void lock(const Path& path) { locked_.insert(path.lexically_normal()); }
    // The file cannot be read.
    void makeUnreadable(const Path& file) { unreadable_.insert(file.lexically_normal()); }

    // Every successful write and folder creation, in order.
    const std::vector<Path>& writes() const { return writes_; }

private:
    bool isLocked(const Path& path) const;
    bool isFolder(const Path& path) const;

    std::optional<Path> dataFolder_;
    std::map<Path, QByteArray> files_;
    std::set<Path> folders_;
    std::set<Path> locked_;
    std::set<Path> unreadable_;
    std::vector<Path> writes_;
};

} // namespace DewlightPlatform
