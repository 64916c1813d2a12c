#pragma once

#include "platform/storage/KeyValueStore.h"
#include "platform/storage/SyncFolder.h"

#include <cstddef>
#include <map>

namespace DewlightPlatform {

// The shared key-value store kept in the sync folder: one file per key in the current account's
// sub-folder, read through an in-memory copy. Changes that the sync tool brings in are found by
// the folder's looks and reported once, with the keys whose bytes really differ; this process's
// own writes are already in the copy and so never come back as a notice. Temporary files that
// interrupted writes left in the account's folder are removed when the store opens it and after
// each look.
class SyncFolderKeyValueStore final : public KeyValueStore {
    Q_OBJECT
public:
    struct Quota {
        std::size_t totalBytes = 1024 * 1024; // keys and values together
        std::size_t keyCount = 1024;
    };

    SyncFolderKeyValueStore(SyncFolder& folder, Quota quota, QObject* parent = nullptr);
    explicit SyncFolderKeyValueStore(SyncFolder& folder)
        : SyncFolderKeyValueStore(folder, Quota{}) {}

    std::vector<std::string> keys() const override;
    std::optional<QByteArray> data(const std::string& key) const override;
    void set(const std::string& key, const QByteArray& data) override;
    void remove(const std::string& key) override;
    void synchronize() override { folder_.scheduleRescan(); }

    void setQuota(Quota quota) { quota_ = quota; }
    bool overQuota() const { return overQuota_; }

    // File names keep letters of both cases apart on file systems that fold case, and never
    // look like hidden, temporary or conflict files. None for an empty key or one too long for
    // a name.
    static std::optional<std::string> fileName(const std::string& key);
    // The key of a file name that `fileName` made; none for any other file, and none for any
    // name with a conflict marker in it, whatever its case.
    static std::optional<std::string> keyOf(const std::string& fileName);

private:
    using Contents = std::map<std::string, QByteArray>;

    bool usable() const;
    void removeStaleTemporaries();
    std::optional<Contents> scan() const;
    void accountChanged();
    void rescanned();
    void postLater(KeyValueStoreChange change);

    SyncFolder& folder_;
    Quota quota_;
    Contents cache_;
    bool overQuota_ = false;
};

} // namespace DewlightPlatform
