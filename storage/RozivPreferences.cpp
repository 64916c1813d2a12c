#include "storage/RozivPreferences.h"

#include "core/DomainError.h"
#include "core/LedgerKeys.h"
#include "platform/storage/UserDefaults.h"
#include "storage/AccountBoundary.h"
#include "storage/DefaultsPreferenceStorage.h"
#include "storage/PreferenceSync.h"
#include "storage/RozivPreferenceFields.h"
#include "storage/ScopedPreferences.h"

namespace DewlightStorage {

using DewlightCore::RozivSettings;
using KestraPreferences::PreferenceAccountIdentity;
using KestraPreferences::PreferenceSync;

std::string RozivPreferences::generationScope(const DewlightCore::ResetGeneration& generation) {
    return DewlightCore::LedgerKeys::hashedKey(generation.counter(),
                                               generation.writer().rawValue());
}

RozivPreferences::RozivPreferences(QObject* parent) : QObject(parent) {}

RozivPreferences::~RozivPreferences() = default;

void RozivPreferences::setCurrent(const RozivSettings& settings) {
    if (settings == current_)
        return;
    current_ = settings;
    emit currentChanged();
}

void RozivPreferences::setLoginFailed(bool failed) {
    if (failed == loginFailed_)
        return;
    loginFailed_ = failed;
    emit loginFailedChanged();
}

void RozivPreferences::set(std::int64_t value, RozivPreferenceKey key) {
    auto fields = RozivSettingsFields::of(current_);
    if (!rozivPreferenceField(key).fromView(value, fields))
        return;
    std::optional<RozivSettings> next;
    try {
        next.emplace(fields.settings());
    } catch (const DewlightCore::DomainError&) {
        return;
    }
    if (!store_ || !canWrite_())
        return;
    // Held for the call: a change callback inside the write may replace the stack.
    const auto session = store_->session;
    try {
        setCurrent(session->save(*next, key));
    } catch (const StorageError&) {
    }
}

void RozivPreferences::makeStore(const RozivPreferenceContext& context,
                                 const DewlightCore::ResetGeneration& generation) {
    const auto scope = generationScope(generation);
    const auto& marker = context.account.id;
    auto local = std::make_shared<ScopedPreferenceStorage>(
        std::make_shared<KestraPreferences::DefaultsPreferenceStorage>(context.defaults),
        marker + "." + scope + ".");

    std::set<std::string> keys;
    for (const auto key : DewlightCore::allCases<RozivPreferenceKey>())
        keys.insert(std::string(DewlightCore::rawValue(key)));

    std::unique_ptr<PreferenceSync> sync;
    if (context.account.cloudAvailable) {
        auto cloud = std::make_shared<ScopedPreferenceCloud>(context.cloud, scope + ".", true,
                                                             context.fence);
        const auto account = PreferenceAccountIdentity::account(QByteArray::fromStdString(marker));
        const AccountCloudFence& fence = context.fence;
        sync = std::make_unique<PreferenceSync>(
            std::move(local), std::move(cloud), std::move(keys), context.writer.rawValue(), account,
            [account, &fence] {
                return fence.isOpen() ? account : PreferenceAccountIdentity::unavailable();
            });
    } else {
        // Nothing of an account without cloud ever reaches the shared store.
        sync = std::make_unique<PreferenceSync>(
            std::move(local), std::make_shared<LocalPreferenceCloud>(), std::move(keys),
            context.writer.rawValue(), PreferenceAccountIdentity::isolated());
    }

    auto session = std::make_shared<RozivPreferenceSession>(std::move(sync));
    for (const auto key : DewlightCore::allCases<RozivPreferenceKey>())
        session->sync().observe(
            std::string(DewlightCore::rawValue(key)),
            DewlightPlatform::weakly(std::weak_ptr(session), [](RozivPreferenceSession& changed) {
                if (auto callback = changed.onChange)
                    callback();
            }));
    session->onChange = DewlightPlatform::weakly(self_.weak(), [](RozivPreferences& preferences) {
        if (auto callback = preferences.onChange_)
            callback();
    });
    store_ = std::make_unique<RozivPreferenceStore>(RozivPreferenceStore{std::move(session)});
    canWrite_ = context.canWrite;
}

void RozivPreferences::reset(const RozivPreferenceContext& context,
                             const DewlightCore::ResetGeneration& generation) {
    const auto& marker = context.account.id;
    const auto account = marker + ".roziv.v1.p.";
    const auto keep = marker + "." + generationScope(generation) + ".";
    for (const auto& key : context.defaults.keys())
        if (key.starts_with(account) && !key.starts_with(keep))
            context.defaults.remove(key);
    setCurrent(RozivSettings::defaults());
    makeStore(context, generation);
}

} // namespace DewlightStorage
