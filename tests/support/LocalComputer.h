#pragma once

// One computer for model tests: the fake clock, the local platform stores and the local
// notification centre, with the model's services built over them the way the application builds
// them (preferences first, then the data that fills them). Nothing touches the machine.

#include "core/Date.h"
#include "platform/localization/Localizer.h"
#include "platform/notifications/LocalNotificationCenter.h"
#include "platform/runtime/FakeClock.h"
#include "platform/storage/LocalFileSystem.h"
#include "platform/storage/LocalIdentityTokenSource.h"
#include "platform/storage/LocalKeyValueHub.h"
#include "platform/storage/LocalUserDefaults.h"
#include "reminders/RozivReminders.h"
#include "storage/AccountAuthority.h"
#include "storage/RozivData.h"
#include "storage/RozivPreferences.h"

#include <memory>
#include <optional>
#include <string>

namespace DewlightTesting {

// Monday 2026-01-05 00:00 UTC, in seconds since 2001.
inline constexpr double mondayMidnight = 789264000;
inline constexpr double hours = 3600;
inline constexpr double minutes = 60;

struct LocalComputer {
    // `token` signs the computer in to a sync account; none keeps it local.
    explicit LocalComputer(double now, std::optional<std::string> token = std::nullopt,
                           const std::string& writer = "WRITER-A")
        : clock(now), store(hub.addMachine("here", token)) {
        defaults.setText(DewlightStorage::RozivAccountData::writerKey, writer);
        tokens.setToken(std::move(token));
    }

    // Builds the data; throws what the construction throws.
    DewlightStorage::RozivData& open() {
        data = std::make_unique<DewlightStorage::RozivData>(
            DewlightStorage::AccountDataServices{defaults, store, tokens, files}, authority,
            preferences);
        return *data;
    }
    DewlightReminders::RozivReminders& makeReminders() {
        reminders = std::make_unique<DewlightReminders::RozivReminders>(
            center, english, [] { return DewlightCore::Calendar::utc(); });
        return *reminders;
    }

    // Signs in to another account (none: signs out) and swaps in its data, as a reload does.
    void switchAccount(std::optional<std::string> token) {
        hub.switchAccount("here", token);
        tokens.setToken(std::move(token));
        data->setCurrent(data->makeAccountData());
        data->forwardCurrentChanges();
    }

    DewlightStorage::RozivAccountData& account() { return data->current(); }
    const DewlightStorage::CommittedState& state() { return account().transaction().state(); }
    const DewlightCore::HydrationLedger& ledger() { return state().ledger; }

    DewlightPlatform::FakeClock clock;
    DewlightPlatform::LocalKeyValueHub hub;
    DewlightPlatform::LocalKeyValueStore& store;
    DewlightPlatform::LocalUserDefaults defaults;
    DewlightPlatform::LocalIdentityTokenSource tokens;
    DewlightPlatform::LocalFileSystem files;
    DewlightStorage::AccountAuthority authority;
    DewlightStorage::RozivPreferences preferences;
    std::unique_ptr<DewlightStorage::RozivData> data;

    std::shared_ptr<DewlightPlatform::LocalNotificationCenter> center =
        std::make_shared<DewlightPlatform::LocalNotificationCenter>();
    std::shared_ptr<const DewlightPlatform::Localizer> english =
        std::make_shared<DewlightPlatform::Localizer>(DewlightPlatform::englishStrings(), "en_US");
    std::unique_ptr<DewlightReminders::RozivReminders> reminders;
};

} // namespace DewlightTesting
