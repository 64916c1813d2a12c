#pragma once

#include "core/Identity.h"
#include "core/ResetGeneration.h"
#include "core/RozivSettings.h"
#include "platform/runtime/WeakOwner.h"
#include "storage/AccountSession.h"
#include "storage/RozivPreferenceKey.h"
#include "storage/RozivPreferenceSession.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

namespace DewlightPlatform {
class KeyValueStore;
class UserDefaults;
} // namespace DewlightPlatform

namespace DewlightStorage {

class AccountCloudFence;

// What the account data hands over to build the preference stack. Defaults, store and fence must
// outlive the stack built from them (the account data rebuilds it whenever it is rebuilt).
struct RozivPreferenceContext {
    DewlightPlatform::UserDefaults& defaults;
    DewlightPlatform::KeyValueStore& cloud;
    AccountSession account;
    DewlightCore::Identity<DewlightCore::WriterTag> writer;
    const AccountCloudFence& fence;
    // May settings be written now.
    std::function<bool()> canWrite;
};

// The user's settings for the application, kept per account and per generation as six synced
// keys. Main thread only; the change signals are sent only for real changes.
class RozivPreferences : public QObject {
    Q_OBJECT
public:
    // The scope of one generation's settings in both stores: "roziv.v1.p.", the counter, ".",
    // the digest of the generation's writer. The defaults put the account marker and "." first.
    static std::string generationScope(const DewlightCore::ResetGeneration& generation);

    explicit RozivPreferences(QObject* parent = nullptr);
    ~RozivPreferences() override;

    const DewlightCore::RozivSettings& current() const { return current_; }
    void setCurrent(const DewlightCore::RozivSettings& settings);
    bool loginFailed() const { return loginFailed_; }
    void setLoginFailed(bool failed);

    // The stack of the current account and generation; none before the first `makeStore`.
    RozivPreferenceStore* store() const { return store_.get(); }
    // Called (with no arguments) when another computer changed a setting; the owner reloads.
    void setOnChange(std::function<void()> callback) { onChange_ = std::move(callback); }

    // Changes one setting from a view's integer value. Days are numbered Monday 1 to Sunday 7,
    // and the last working day is never removed. Values the settings refuse, a write that is
    // not allowed now and a write that did not read back leave `current` as it was.
    void set(std::int64_t value, RozivPreferenceKey key);

    // Builds the stack for an account and a generation, replacing the old one.
    void makeStore(const RozivPreferenceContext& context,
                   const DewlightCore::ResetGeneration& generation);
    // After an erase: removes the account's settings of every other generation, returns to the
    // default settings and builds the stack for the new generation.
    void reset(const RozivPreferenceContext& context,
               const DewlightCore::ResetGeneration& generation);

signals:
    void currentChanged();
    void loginFailedChanged();

private:
    DewlightCore::RozivSettings current_ = DewlightCore::RozivSettings::defaults();
    bool loginFailed_ = false;
    std::unique_ptr<RozivPreferenceStore> store_;
    std::function<bool()> canWrite_ = [] { return true; };
    std::function<void()> onChange_;
    DewlightPlatform::WeakOwner<RozivPreferences> self_{this};
};

} // namespace DewlightStorage
