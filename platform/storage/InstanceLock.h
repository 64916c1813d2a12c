#pragma once

#include <QLockFile>
#include <filesystem>
#include <memory>

namespace DewlightPlatform {

// Keeps a second process of the same user from running beside the first. The lock is a file in
// the data folder; a lock left by a process that died is taken over.
class InstanceLock {
public:
    enum class Result { acquired, heldByAnother, failed };

    explicit InstanceLock(std::filesystem::path file);
    ~InstanceLock();

    Result acquire();
    // The process id of the holder when another process holds the lock.
    std::optional<qint64> holder() const;

private:
    std::filesystem::path file_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace DewlightPlatform
