#include "storage/UbiquitousPreferenceStorage.h"

#include "platform/storage/KeyValueStore.h"

#include <QTimer>

namespace DewlightStorage::KestraPreferences {

using DewlightPlatform::KeyValueStoreChange;
using DewlightPlatform::KeyValueStoreChangeReason;

namespace {
std::optional<PreferenceCloudIssue> issueOf(const KeyValueStoreChange& change) {
    const auto reason = change.integerReason();
    if (reason == static_cast<std::int64_t>(KeyValueStoreChangeReason::quotaViolation))
        return PreferenceCloudIssue::quotaExceeded;
    if (reason == static_cast<std::int64_t>(KeyValueStoreChangeReason::accountChange))
        return PreferenceCloudIssue::accountChanged;
    return std::nullopt;
}
} // namespace

UbiquitousPreferenceStorage::UbiquitousPreferenceStorage(DewlightPlatform::KeyValueStore& store)
    : store_(store), observer_(std::make_unique<QObject>()) {
    QObject::connect(&store_, &DewlightPlatform::KeyValueStore::externalChange, observer_.get(),
                     [this](const KeyValueStoreChange& change) {
                         const auto list = change.keyList().value_or(std::vector<std::string>{});
                         std::set<std::string> keys(list.begin(), list.end());
                         const auto issue = issueOf(change);
                         QTimer::singleShot(0, observer_.get(),
                                            [this, keys = std::move(keys), issue] {
                                                issue_ = issue;
                                                // A copy: the callback may end this storage, and
                                                // nothing here is touched after.
                                                if (auto callback = onExternalChange())
                                                    callback(keys);
                                            });
                     });
}

UbiquitousPreferenceStorage::~UbiquitousPreferenceStorage() = default;

std::optional<QByteArray> UbiquitousPreferenceStorage::data(const std::string& key) const {
    return store_.data(key);
}

void UbiquitousPreferenceStorage::set(const QByteArray& data, const std::string& key) {
    store_.set(key, data);
}

void UbiquitousPreferenceStorage::remove(const std::string& key) {
    store_.remove(key);
}

void UbiquitousPreferenceStorage::synchronize() {
    store_.synchronize();
}

} // namespace DewlightStorage::KestraPreferences
