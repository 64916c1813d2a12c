#include "platform/storage/LinuxFileSystem.h"

#include "platform/storage/AtomicWrite.h"

#include <QFile>
#include <system_error>

namespace DewlightPlatform {

void LinuxFileSystem::sweepOnce(const Path& folder) const {
    if (swept_.insert(folder.lexically_normal()).second)
        AtomicWrite::removeStaleTemporaries(folder);
}

bool LinuxFileSystem::createFolders(const Path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error))
        return false;
    sweepOnce(folder);
    return true;
}

bool LinuxFileSystem::exists(const Path& path) const {
    // A link that cannot be followed exists too: it is a file that cannot be read, never none.
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

std::optional<QByteArray> LinuxFileSystem::read(const Path& file) const {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    sweepOnce(file.parent_path());
    QFile handle(file);
    if (!handle.open(QIODevice::ReadOnly))
        return std::nullopt;
    auto bytes = handle.readAll();
    if (handle.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool LinuxFileSystem::writeAtomically(const Path& file, const QByteArray& bytes) {
    const auto target = AtomicWrite::linkTarget(file);
    std::error_code error;
    if (!target || std::filesystem::is_directory(*target, error))
        return false;
    sweepOnce(target->parent_path());
    return AtomicWrite::write(*target, bytes);
}

} // namespace DewlightPlatform
