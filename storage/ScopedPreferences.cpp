#include "storage/ScopedPreferences.h"

#include "platform/storage/KeyValueStore.h"
#include "storage/AccountBoundary.h"

#include <QTimer>

namespace DewlightStorage {

using DewlightPlatform::KeyValueStoreChange;
using DewlightPlatform::KeyValueStoreChangeReason;
using KestraPreferences::PreferenceCloudIssue;

ScopedPreferenceCloud::ScopedPreferenceCloud(DewlightPlatform::KeyValueStore& store,
                                             std::string prefix, bool enabled,
                                             const AccountCloudFence& fence)
    : store_(store), prefix_(std::move(prefix)), enabled_(enabled), fence_(fence) {
    if (!enabled_)
        return;
    observer_ = std::make_unique<QObject>();
    QObject::connect(
        &store_, &DewlightPlatform::KeyValueStore::externalChange, observer_.get(),
        [this](const KeyValueStoreChange& change) {
            auto changed = change.keyList().value_or(std::vector<std::string>{});
            // An account change is the fence's to answer, so only the quota is recorded here.
            const bool quota = change.integerReason() ==
                               static_cast<std::int64_t>(KeyValueStoreChangeReason::quotaViolation);
            QTimer::singleShot(0, observer_.get(), [this, changed = std::move(changed), quota] {
                receivedIssue_ =
                    quota ? std::optional(PreferenceCloudIssue::quotaExceeded) : std::nullopt;
                auto callback = onExternalChange();
                if (!callback)
                    return;
                std::set<std::string> keys;
                for (const auto& key : changed)
                    if (key.starts_with(prefix_))
                        keys.insert(key.substr(prefix_.size()));
                // Nothing is touched after: the callback may end this storage.
                callback(keys);
            });
        });
}

ScopedPreferenceCloud::~ScopedPreferenceCloud() = default;

bool ScopedPreferenceCloud::gateOpen() const {
    return enabled_ && fence_.isOpen();
}

std::optional<QByteArray> ScopedPreferenceCloud::data(const std::string& key) const {
    if (!gateOpen())
        return std::nullopt;
    return store_.data(prefix_ + key);
}

void ScopedPreferenceCloud::set(const QByteArray& data, const std::string& key) {
    if (gateOpen())
        store_.set(prefix_ + key, data);
}

void ScopedPreferenceCloud::remove(const std::string& key) {
    if (gateOpen())
        store_.remove(prefix_ + key);
}

std::optional<PreferenceCloudIssue> ScopedPreferenceCloud::issue() const {
    if (!enabled_)
        return PreferenceCloudIssue::accountUnavailable;
    if (!fence_.isOpen())
        return PreferenceCloudIssue::accountChanged;
    return receivedIssue_;
}

void ScopedPreferenceCloud::synchronize() {
    if (gateOpen())
        store_.synchronize();
}

} // namespace DewlightStorage
