#pragma once

#include "platform/runtime/OwnedDescriptor.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace DewlightPlatform {

// Paths watched through one inotify instance, read on the event loop. Each path may name one
// entry of interest: events about other entries of that folder are dropped here (the kernel
// cannot filter by name). Nothing is polled, so a quiet path costs no wake-up.
class FileWatch {
public:
    // Called once per kernel event that passes the path's filter.
    using Handler = std::function<void(std::uint32_t mask)>;

    explicit FileWatch(Handler handler);

    // Watches `path` (links are followed unless `mask` holds IN_DONT_FOLLOW) for the events in
    // `mask`; with `onlyEntry`, only events naming that entry of the folder pass, together with
    // the folder's own removal or unmounting. False when the path cannot be watched.
    bool add(const std::filesystem::path& path, std::uint32_t mask,
             const std::string& onlyEntry = {});
    // Stops watching everything; events already queued for old paths are dropped.
    void clear();
    bool isOpen() const { return descriptor_.isOpen(); }

private:
    void read();

    Handler handler_;
    OwnedDescriptor descriptor_;
    // By watch descriptor: the entries of interest, one empty name meaning any.
    std::unordered_map<int, std::vector<std::string>> filters_;
};

} // namespace DewlightPlatform
