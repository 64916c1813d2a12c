#pragma once

#include "core/RozivSettings.h"
#include "storage/RozivPreferenceKey.h"
#include "storage/StorageError.h"

#include <functional>
#include <memory>
#include <set>

namespace DewlightStorage {

namespace KestraPreferences {
class PreferenceSync;
}

// Turns the six synced keys back into one valid `RozivSettings`, and writes one key at a time.
// Main thread only.
class RozivPreferenceSession {
public:
    explicit RozivPreferenceSession(std::unique_ptr<KestraPreferences::PreferenceSync> sync);
    ~RozivPreferenceSession();
    RozivPreferenceSession(const RozivPreferenceSession&) = delete;
    RozivPreferenceSession& operator=(const RozivPreferenceSession&) = delete;

    // Every key that gives no value takes the default's field; openAtLogin is always false.
    // Throws a `StorageError` of `invalidSettings` when the result breaks the settings' rules.
    DewlightCore::RozivSettings load();
    // Writes the field of `settings` that belongs to `key` and returns the settings read back.
    // Throws `invalidSettings` as `load` does, and `notSaved` when the field did not read back.
    DewlightCore::RozivSettings save(const DewlightCore::RozivSettings& settings,
                                     RozivPreferenceKey key);

    KestraPreferences::PreferenceSync& sync() const { return *sync_; }
    const std::set<RozivPreferenceFailure>& failures() const { return failures_; }
    const std::set<RozivPreferenceKey>& unsavedKeys() const { return unsavedKeys_; }

    // Called when another computer changed one of the keys here.
    std::function<void()> onChange;

private:
    std::unique_ptr<KestraPreferences::PreferenceSync> sync_;
    std::set<RozivPreferenceFailure> failures_;
    std::set<RozivPreferenceKey> unsavedKeys_;
};

// One account's and one generation's stack of preference storages.
struct RozivPreferenceStore {
    std::shared_ptr<RozivPreferenceSession> session;
};

} // namespace DewlightStorage
