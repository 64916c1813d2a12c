#include "storage/AtomicFileStore.h"

#include "core/JsonText.h"
#include "platform/runtime/Heap.h"

namespace DewlightStorage {

std::optional<AtomicFileStore::Stored> AtomicFileStore::load(const std::string& marker) const {
    if (!directory_)
        throw StorageError(LocalStorageFailure::unavailable);
    const auto file = fileFor(marker);
    if (!files_.exists(file))
        return std::nullopt;
    const auto bytes = files_.read(file);
    if (!bytes)
        throw StorageError(LocalStorageFailure::corrupted);
    try {
        auto stored = DewlightCore::Json::decodeText<Stored>(
            std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
        if (static_cast<std::size_t>(bytes->size()) >= DewlightPlatform::largeText)
            DewlightPlatform::returnFreedHeap();
        return stored;
    } catch (const std::exception&) {
        // Left in place: a damaged file is never replaced by a fresh state behind the user's back.
        throw StorageError(LocalStorageFailure::corrupted);
    }
}

void AtomicFileStore::save(const Stored& value, const std::string& marker) {
    if (!directory_)
        throw StorageError(LocalStorageFailure::unavailable);
    if (!files_.createFolders(*directory_))
        throw StorageError(LocalStorageFailure::writeFailed);
    QByteArray bytes;
    try {
        bytes = QByteArray::fromStdString(
            DewlightCore::Json::serialize(DewlightCore::Json::encode(value)));
    } catch (const std::exception&) {
        throw StorageError(LocalStorageFailure::writeFailed);
    }
    const bool written = files_.writeAtomically(fileFor(marker), bytes);
    // The document tree behind a large text is freed by now.
    if (static_cast<std::size_t>(bytes.size()) >= DewlightPlatform::largeText) {
        bytes.clear();
        DewlightPlatform::returnFreedHeap();
    }
    if (!written)
        throw StorageError(LocalStorageFailure::writeFailed);
}

} // namespace DewlightStorage
