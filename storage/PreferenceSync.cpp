#include "storage/PreferenceSync.h"

#include "platform/storage/IdentityTokenSource.h"
#include "platform/storage/KeyValueStore.h"
#include "platform/storage/UserDefaults.h"
#include "storage/DefaultsPreferenceStorage.h"
#include "storage/UbiquitousPreferenceStorage.h"

#include <QTimer>
#include <limits>
#include <vector>

namespace DewlightStorage::KestraPreferences {

using KestraPreferencesCore::PreferenceRecord;

namespace {

std::string newUuidText() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
}

std::string writerFrom(DewlightPlatform::UserDefaults& defaults) {
    auto writer = defaults.text(PreferenceSync::writerKey).value_or(newUuidText());
    defaults.setText(PreferenceSync::writerKey, writer);
    return writer;
}

std::optional<QByteArray> encoded(const PreferenceRecord& record) {
    try {
        return QByteArray::fromStdString(
            DewlightCore::Json::serialize(DewlightCore::Json::encode(record)));
    } catch (const std::exception&) {
        // A writer text that is not UTF-8 cannot be written as JSON.
        return std::nullopt;
    }
}

} // namespace

PreferenceSync::PreferenceSync(std::shared_ptr<PreferenceStorage> local,
                               std::shared_ptr<PreferenceCloudStorage> cloud,
                               std::set<std::string> keys, std::string writerID,
                               PreferenceAccountIdentity account, AccountProvider accountProvider)
    : local_(std::move(local)), cloud_(std::move(cloud)), keys_(std::move(keys)),
      writerID_(std::move(writerID)), account_(std::move(account)),
      accountProvider_(std::move(accountProvider)) {
    start();
}

PreferenceSync::PreferenceSync(DewlightPlatform::UserDefaults& defaults,
                               DewlightPlatform::KeyValueStore& store,
                               const DewlightPlatform::IdentityTokenSource& tokens,
                               std::set<std::string> keys)
    : PreferenceSync(std::make_shared<DefaultsPreferenceStorage>(defaults),
                     std::make_shared<UbiquitousPreferenceStorage>(store), std::move(keys),
                     writerFrom(defaults), accountIdentity(tokens.currentToken(), tokens, defaults),
                     [&tokens, &defaults] {
                         return accountIdentity(tokens.currentToken(), tokens, defaults);
                     }) {
    identityObserver_ = std::make_unique<QObject>();
    QObject::connect(
        &tokens, &DewlightPlatform::IdentityTokenSource::identityChanged, identityObserver_.get(),
        [this] { QTimer::singleShot(0, identityObserver_.get(), [this] { pull({}); }); });
}

PreferenceSync::~PreferenceSync() = default;

void PreferenceSync::start() {
    reconcileAccount();
    cloud_->setOnExternalChange(DewlightPlatform::weakly(
        self_.weak(),
        [](PreferenceSync& sync, const std::set<std::string>& changed) { sync.pull(changed); }));
    std::set<std::string> all;
    for (const auto& key : keys_)
        all.insert(prefix + key);
    pull(all);
    cloud_->synchronize();
}

PreferenceSync::StoredRecord PreferenceSync::read(const PreferenceStorage& storage,
                                                  const std::string& key) const {
    const auto bytes = storage.data(prefix + key);
    if (!bytes)
        return {};
    if (static_cast<std::size_t>(bytes->size()) > PreferenceRecord::maximumStoredBytes)
        return {true, std::nullopt};
    try {
        auto record = DewlightCore::Json::decode<PreferenceRecord>(
            DewlightCore::Json::parse(bytes->toStdString()));
        if (!record.isValid())
            return {true, std::nullopt};
        return {false, std::move(record)};
    } catch (const std::exception&) {
        return {true, std::nullopt};
    }
}

std::optional<QByteArray> PreferenceSync::localPayload(const std::string& key) const {
    if (!keys_.contains(key))
        return std::nullopt;
    auto stored = read(*local_, key);
    if (!stored.record)
        return std::nullopt;
    return stored.record->payload;
}

bool PreferenceSync::isRemoved(const std::string& key) const {
    if (!keys_.contains(key))
        return false;
    const auto stored = read(*local_, key);
    return stored.record && !stored.record->payload;
}

QUuid PreferenceSync::observe(const std::string& key, Observer handler) {
    const auto id = QUuid::createUuid();
    observers_.emplace(id, std::pair(key, std::move(handler)));
    return id;
}

void PreferenceSync::removeObserver(const QUuid& id) {
    observers_.erase(id);
}

void PreferenceSync::removeManagedLocalKeys() {
    for (const auto& key : keys_)
        local_->remove(prefix + key);
}

void PreferenceSync::reconcileAccount() {
    switch (account_.kind()) {
    case PreferenceAccountIdentity::Kind::isolated:
        return;
    case PreferenceAccountIdentity::Kind::unavailable:
        if (!local_->data(accountKey))
            removeManagedLocalKeys();
        return;
    case PreferenceAccountIdentity::Kind::account:
        if (local_->data(accountKey) == account_.marker())
            return;
        removeManagedLocalKeys();
        local_->set(account_.marker(), accountKey);
        return;
    }
}

bool PreferenceSync::refreshAccount() {
    // A sync whose account changed under it stays stopped; its owner builds a new one.
    if (issue_ == PreferenceCloudIssue::accountChanged)
        return false;
    auto current = accountProvider_ ? accountProvider_() : account_;
    if (current.isAccount() && current != account_) {
        const auto stored = local_->data(accountKey);
        if (stored == current.marker()) {
            local_->set(current.marker(), accountKey);
        } else {
            removeManagedLocalKeys();
            if (stored) {
                issue_ = PreferenceCloudIssue::accountChanged;
                return false;
            }
            local_->set(current.marker(), accountKey);
        }
    }
    account_ = std::move(current);
    if (account_.kind() == PreferenceAccountIdentity::Kind::unavailable) {
        issue_ = PreferenceCloudIssue::accountUnavailable;
        return false;
    }
    if (issue_ == PreferenceCloudIssue::accountUnavailable)
        issue_.reset();
    return true;
}

void PreferenceSync::pull(const std::set<std::string>& changed) {
    const bool wasUnavailable = account_.kind() == PreferenceAccountIdentity::Kind::unavailable;
    if (!refreshAccount())
        return;
    const auto cloudIssue = cloud_->issue();
    if (cloudIssue == PreferenceCloudIssue::quotaExceeded ||
        cloudIssue == PreferenceCloudIssue::accountUnavailable) {
        issue_ = cloudIssue;
        return;
    }
    // With a provider the account was judged above; without one the cloud's word is the only one.
    if (cloudIssue == PreferenceCloudIssue::accountChanged &&
        (!accountProvider_ || account_.kind() == PreferenceAccountIdentity::Kind::isolated)) {
        issue_ = PreferenceCloudIssue::accountChanged;
        removeManagedLocalKeys();
        return;
    }
    if (issue_ == PreferenceCloudIssue::accountChanged)
        return;
    issue_.reset();

    const auto alive = self_.weak();
    for (const auto& key : keys_) {
        if (!changed.empty() && !wasUnavailable && !changed.contains(prefix + key))
            continue;
        const auto local = read(*local_, key);
        const auto cloud = read(*cloud_, key);
        if (local.invalid || cloud.invalid)
            continue;
        if (!local.record && !cloud.record)
            continue;
        const PreferenceRecord& winner =
            local.record && cloud.record ? PreferenceRecord::resolve(*local.record, *cloud.record)
                                         : (local.record ? *local.record : *cloud.record);
        const auto bytes = encoded(winner);
        if (!bytes)
            continue;
        if (!cloud.record || *cloud.record != winner)
            cloud_->set(*bytes, prefix + key);
        if (!local.record || *local.record != winner) {
            local_->set(*bytes, prefix + key);
            std::vector<Observer> interested;
            for (const auto& [id, observer] : observers_)
                if (observer.first == key)
                    interested.push_back(observer.second);
            for (const auto& observer : interested) {
                observer();
                // An observer may rebuild the stack that owns this sync.
                if (alive.expired())
                    return;
            }
        }
    }
}

void PreferenceSync::write(const std::optional<QByteArray>& payload, const std::string& key) {
    if (!keys_.contains(key) || writerID_.empty())
        return;
    const auto alive = self_.weak();
    if (account_.kind() == PreferenceAccountIdentity::Kind::unavailable) {
        pull({});
        if (alive.expired())
            return;
    }
    if (!refreshAccount() && issue_ != PreferenceCloudIssue::accountUnavailable)
        return;
    const bool cloudInUse = issue_ != PreferenceCloudIssue::accountUnavailable;
    StoredRecord cloud;
    if (cloudInUse) {
        cloud = read(*cloud_, key);
        if (cloud.invalid)
            return;
    }
    const auto local = read(*local_, key);
    if (local.invalid)
        return;
    std::optional<PreferenceRecord> base;
    if (local.record && cloud.record)
        base = PreferenceRecord::resolve(*local.record, *cloud.record);
    else if (local.record)
        base = local.record;
    else
        base = cloud.record;
    if (base && base->revision == std::numeric_limits<std::uint64_t>::max())
        return;
    const PreferenceRecord record(base ? base->revision + 1 : 1, writerID_, payload);
    if (!record.isValid())
        return;
    const auto bytes = encoded(record);
    if (!bytes)
        return;
    local_->set(*bytes, prefix + key);
    if (!issue_)
        cloud_->set(*bytes, prefix + key);
}

PreferenceAccountIdentity
PreferenceSync::accountIdentity(const std::optional<DewlightPlatform::IdentityToken>& token,
                                const DewlightPlatform::IdentityTokenSource& archiver,
                                DewlightPlatform::UserDefaults& defaults) {
    if (!token)
        return PreferenceAccountIdentity::unavailable();
    const auto archive = archiver.archive(*token);
    if (!archive)
        return PreferenceAccountIdentity::unavailable();
    const auto storedArchive = defaults.bytes(archivedAccountTokenKey);
    const auto storedMarker = defaults.bytes(accountMarkerKey);
    if (storedArchive && storedMarker) {
        const auto remembered = archiver.unarchive(*storedArchive);
        const auto* known = std::get_if<DewlightPlatform::IdentityToken>(&remembered);
        if (known && *known == *token)
            return PreferenceAccountIdentity::account(*storedMarker);
    }
    const auto marker = QByteArray::fromStdString(newUuidText());
    defaults.setBytes(archivedAccountTokenKey, *archive);
    defaults.setBytes(accountMarkerKey, marker);
    return PreferenceAccountIdentity::account(marker);
}

} // namespace DewlightStorage::KestraPreferences
