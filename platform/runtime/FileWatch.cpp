#include "platform/runtime/FileWatch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace DewlightPlatform {

FileWatch::FileWatch(Handler handler)
    : handler_(std::move(handler)), descriptor_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    descriptor_.watch([this] { read(); });
}

bool FileWatch::add(const std::filesystem::path& path, std::uint32_t mask,
                    const std::string& onlyEntry) {
    if (!descriptor_.isOpen())
        return false;
    // The same inode reached by two paths shares one watch: the masks add up.
    const int watch = ::inotify_add_watch(descriptor_.get(), path.c_str(), mask | IN_MASK_ADD);
    if (watch < 0)
        return false;
    filters_[watch].push_back(onlyEntry);
    return true;
}

void FileWatch::clear() {
    for (const auto& [watch, names] : filters_)
        ::inotify_rm_watch(descriptor_.get(), watch);
    filters_.clear();
}

void FileWatch::read() {
    alignas(inotify_event) char buffer[4096];
    while (true) {
        const ssize_t size = ::read(descriptor_.get(), buffer, sizeof buffer);
        if (size <= 0)
            return; // EAGAIN: all read
        for (ssize_t at = 0; at < size;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof event;
            at += static_cast<ssize_t>(sizeof event + event.len);
            // IN_IGNORED follows every removed watch, ours included: the removal or unmount
            // that matters came just before it.
            if (event.mask & (IN_IGNORED | IN_Q_OVERFLOW)) {
                if (event.mask & IN_Q_OVERFLOW)
                    handler_(event.mask);
                continue;
            }
            const auto found = filters_.find(event.wd);
            if (found == filters_.end())
                continue;
            const bool aboutItself = event.len == 0;
            const std::string_view entry(name, aboutItself ? 0 : std::strlen(name));
            const auto& names = found->second;
            if (aboutItself || std::any_of(names.begin(), names.end(), [&](const auto& only) {
                    return only.empty() || only == entry;
                }))
                handler_(event.mask);
        }
    }
}

} // namespace DewlightPlatform
