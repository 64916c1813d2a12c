#include "platform/storage/AtomicWrite.h"

#include "platform/runtime/Log.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace DewlightPlatform::AtomicWrite {

namespace {

constexpr std::string_view temporaryMark = ".tmp-";
// mkostemp's part of the name: six letters or digits.
constexpr std::size_t uniqueLength = 6;

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        auto written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

void syncFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

void keepPrevious(const std::filesystem::path& target, const std::filesystem::path& previous) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(target, error))
        return;
    std::filesystem::remove(previous, error);
    // A hard link keeps the old file without copying it; some file systems have none.
    std::filesystem::create_hard_link(target, previous, error);
    if (error)
        std::filesystem::copy_file(target, previous,
                                   std::filesystem::copy_options::overwrite_existing, error);
}

} // namespace

std::optional<std::filesystem::path> linkTarget(const std::filesystem::path& target) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, error)))
        return target;
    auto resolved = std::filesystem::canonical(target, error);
    if (error)
        return std::nullopt;
    return resolved;
}

bool isTemporaryName(const std::string& name) {
    const std::size_t fixed = 1 + temporaryMark.size() + uniqueLength;
    if (name.size() <= fixed || !name.starts_with('.'))
        return false;
    const auto tail =
        std::string_view(name).substr(name.size() - uniqueLength - temporaryMark.size());
    if (!tail.starts_with(temporaryMark))
        return false;
    return std::all_of(tail.begin() + temporaryMark.size(), tail.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

void removeStaleTemporaries(const std::filesystem::path& folder, std::chrono::seconds age) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error)
        return;
    const auto cutoff = std::filesystem::file_time_type::clock::now() - age;
    for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        if (error)
            return;
        const auto& entry = *entries;
        if (!isTemporaryName(entry.path().filename().string()))
            continue;
        // A link of that name is not one of ours: never followed, never removed.
        std::error_code status;
        if (!entry.is_regular_file(status) || entry.is_symlink(status))
            continue;
        const auto written = entry.last_write_time(status);
        if (status || written > cutoff)
            continue;
        if (std::filesystem::remove(entry.path(), status))
            qCInfo(systemLog, "Removed %s, left by an interrupted write", entry.path().c_str());
    }
}

bool write(const std::filesystem::path& target, const QByteArray& bytes,
           const std::optional<std::filesystem::path>& previous, const StageHook& hook) {
    auto folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string pattern =
        (folder / ("." + target.filename().string() + std::string(temporaryMark) + "XXXXXX"))
            .string();
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    auto fail = [&] {
        ::close(fd);
        ::unlink(pattern.c_str());
        return false;
    };
    auto half = static_cast<std::size_t>(bytes.size()) / 2;
    if (!writeAll(fd, bytes.constData(), half))
        return fail();
    if (hook)
        hook(Stage::halfWritten);
    if (!writeAll(fd, bytes.constData() + half, static_cast<std::size_t>(bytes.size()) - half))
        return fail();
    if (::fsync(fd) != 0)
        return fail();
    if (hook)
        hook(Stage::tempSynced);
    if (::close(fd) != 0) {
        ::unlink(pattern.c_str());
        return false;
    }
    if (previous) {
        keepPrevious(target, *previous);
        if (hook)
            hook(Stage::previousKept);
    }
    if (::rename(pattern.c_str(), target.c_str()) != 0) {
        ::unlink(pattern.c_str());
        return false;
    }
    if (hook)
        hook(Stage::renamed);
    syncFolder(folder);
    return true;
}

} // namespace DewlightPlatform::AtomicWrite
