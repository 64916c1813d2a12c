#include "platform/storage/LocalFileSystem.h"

namespace DewlightPlatform {

namespace {

// The path without a trailing separator, so "/a/b/" and "/a/b" name the same folder.
FileSystem::Path normal(const FileSystem::Path& path) {
    auto result = path.lexically_normal();
    if (!result.has_filename() && result.has_parent_path() && result != result.root_path())
        result = result.parent_path();
    return result;
}

} // namespace

bool LocalFileSystem::isLocked(const Path& path) const {
    for (auto p = path;; p = p.parent_path()) {
        if (locked_.contains(p))
            return true;
        if (p == p.parent_path())
            return false;
    }
}

bool LocalFileSystem::isFolder(const Path& path) const {
    return path == path.root_path() || folders_.contains(path);
}

bool LocalFileSystem::createFolders(const Path& folder) {
    auto target = normal(folder);
    if (!target.is_absolute())
        return false;
    std::vector<Path> missing;
    for (auto p = target; !isFolder(p); p = p.parent_path()) {
        if (files_.contains(p) || isLocked(p))
            return false;
        missing.push_back(p);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        folders_.insert(*it);
        writes_.push_back(*it);
    }
    return true;
}

bool LocalFileSystem::exists(const Path& path) const {
    auto p = normal(path);
    return files_.contains(p) || isFolder(p);
}

std::optional<QByteArray> LocalFileSystem::read(const Path& file) const {
    auto p = normal(file);
    auto found = files_.find(p);
    if (found == files_.end() || unreadable_.contains(p))
        return std::nullopt;
    return found->second;
}

bool LocalFileSystem::writeAtomically(const Path& file, const QByteArray& bytes) {
    auto p = normal(file);
    if (!p.is_absolute() || !p.has_filename() || isFolder(p) || !isFolder(p.parent_path()) ||
        isLocked(p))
        return false;
    files_[p] = bytes;
    writes_.push_back(p);
    return true;
}

void LocalFileSystem::put(const Path& file, const QByteArray& bytes) {
    auto p = normal(file);
    for (auto folder = p.parent_path(); !isFolder(folder); folder = folder.parent_path())
        folders_.insert(folder);
    files_[p] = bytes;
}

} // namespace DewlightPlatform
