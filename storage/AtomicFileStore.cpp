#include "storage/AtomicFileStore.h"

namespace DewlightStorage {

std::optional<AtomicFileStore::Stored> AtomicFileStore::load(const std::string& marker) const {
    if (!directory_)
        throw LocalStorageFailure::unavailable;
    const auto file = fileFor(marker);
    if (!files_.exists(file))
        return std::nullopt;
    const auto bytes = files_.read(file);
    if (!bytes)
        throw LocalStorageFailure::corrupted;
    try {
        return DewlightCore::Json::decode<Stored>(DewlightCore::Json::parse(bytes->toStdString()));
    } catch (const std::exception&) {
        // Left in place: a damaged file is never replaced by a fresh state behind the user's back.
        throw LocalStorageFailure::corrupted;
    }
}

void AtomicFileStore::save(const Stored& value, const std::string& marker) {
    if (!directory_)
        throw LocalStorageFailure::unavailable;
    if (!files_.createFolders(*directory_))
        throw LocalStorageFailure::writeFailed;
    QByteArray bytes;
    try {
        bytes = QByteArray::fromStdString(
            DewlightCore::Json::serialize(DewlightCore::Json::encode(value)));
    } catch (const std::exception&) {
        throw LocalStorageFailure::writeFailed;
    }
    if (!files_.writeAtomically(fileFor(marker), bytes))
        throw LocalStorageFailure::writeFailed;
}

} // namespace DewlightStorage
