#pragma once

#include "core/Versioned.h"
#include "platform/storage/FileSystem.h"
#include "storage/CommittedState.h"
#include "storage/StorageError.h"

#include <optional>
#include <string>

namespace DewlightStorage {

// The committed state of each account, one JSON file per account marker, loaded and saved whole.
// A save replaces the file atomically, so a crash leaves the old file or the new one.
class AtomicFileStore {
public:
    using Stored = DewlightCore::Versioned<CommittedState>;
    using Path = DewlightPlatform::FileSystem::Path;

    // No directory given: the application's data folder, when the system has one.
    explicit AtomicFileStore(DewlightPlatform::FileSystem& files,
                             std::optional<Path> directory = std::nullopt)
        : files_(files), directory_(directory ? directory : files.dataFolder()) {}

    const std::optional<Path>& directory() const { return directory_; }

    // None for an account with no file yet; throws a `StorageError` of `LocalStorageFailure`.
    std::optional<Stored> load(const std::string& marker) const;
    // Throws a `StorageError` of `LocalStorageFailure`.
    void save(const Stored& value, const std::string& marker);

private:
    Path fileFor(const std::string& marker) const { return *directory_ / (marker + ".json"); }

    DewlightPlatform::FileSystem& files_;
    std::optional<Path> directory_;
};

} // namespace DewlightStorage
