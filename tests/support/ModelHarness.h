#pragma once

#include "app/AppModel.h"
#include "kit/panel/LocalLoginService.h"
#include "kit/panel/LoginItem.h"
#include "platform/events/LocalSystemEvents.h"
#include "platform/notifications/LocalNotificationCenter.h"
#include "platform/runtime/FakeClock.h"
#include "platform/storage/LocalFileSystem.h"
#include "platform/storage/LocalIdentityTokenSource.h"
#include "platform/storage/LocalKeyValueHub.h"
#include "platform/storage/LocalUserDefaults.h"
#include "tests/support/Week.h"

#include <QObject>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The application model over local services: stores in memory, a local notification centre, a
// fake clock, system events and termination posted by the test, and recording doubles for the
// windows. Nothing touches the machine.
namespace DewlightTest {

using DewlightPlatform::Date;

using DewlightTesting::day;
using DewlightTesting::hour;
inline constexpr Date monday = DewlightTesting::mondayMidnight;

// Stands in for the application's will-terminate notice.
class LocalTermination final : public QObject {
    Q_OBJECT
signals:
    void willTerminate();
};

// Records what the model asks of the two windows.
class RecordingWindows final : public DewlightApp::WindowCloser {
public:
    void closePreferences() override { log.push_back("close preferences"); }
    void closeWelcomeSteps() override { log.push_back("close welcome"); }

    std::vector<std::string> log;
};

// Takes each window request as the real router does (on a later turn, consuming `destination`,
// opening nothing while the data is unavailable) and records the window it would have opened.
class RecordingRouter final : public QObject {
    Q_OBJECT
public:
    RecordingRouter(std::weak_ptr<DewlightApp::AppModel> model, std::vector<std::string>& opened);

private:
    void take();

    std::weak_ptr<DewlightApp::AppModel> model_;
    std::vector<std::string>& opened_;
};

class ModelHarness {
public:
    struct Options {
        // The wall clock when the harness is made.
        Date start = monday + 8 * hour;
        std::string zone = "UTC";
        // Committed before start, as after a finished welcome flow.
        bool welcomeCompleted = true;
        DewlightPlatform::NotificationAuthorizationStatus authorization =
            DewlightPlatform::NotificationAuthorizationStatus::authorized;
        // The sync account signed in, as token text and as the shared store's account; none for
        // a computer without one.
        std::optional<std::string> account;
        bool systemBusConnected = true;
        // Another computer's hub to join, so that two harnesses share one account's store; the
        // harness's own when none. `machine` names this computer there.
        DewlightPlatform::LocalKeyValueHub* hub = nullptr;
        const char* machine = "this";
    };

    ModelHarness() : ModelHarness(Options{}) {}
    explicit ModelHarness(Options options);
    ~ModelHarness();
    ModelHarness(const ModelHarness&) = delete;
    ModelHarness& operator=(const ModelHarness&) = delete;

    // Builds the model (with the welcome completed when the options say so); throws what the
    // model's construction throws.
    DewlightApp::AppModel& build();
    // Builds the model when needed, starts it and lets everything that is due run.
    DewlightApp::AppModel& start();
    DewlightApp::AppModel& operator*() { return *model; }
    DewlightApp::AppModel* operator->() { return model.get(); }

    // Runs the event loop until nothing is left to do now.
    void settle();
    // Moves both clocks to the wall-clock instant, waking every sleep due on the way.
    void advanceTo(Date instant);
    // Posts a system event and lets the model handle it.
    void post(DewlightPlatform::SystemEvent event);
    // The application is about to end.
    void terminate();
    // Signs in to another sync account (none: signed out): the identity changes at once, the
    // shared store follows only with `switchStoreAccount`, as the two arrive on a real machine.
    void signIn(std::optional<std::string> account);
    void switchStoreAccount(std::optional<std::string> account);
    // Delivers the earliest pending reminder now, as the centre does when its time comes (the
    // local centre fires nothing by itself).
    void deliverNext();

    // The trigger instants of the pending requests, earliest first.
    std::vector<Date> pendingTimes() const;
    // The account data's stored file.
    DewlightPlatform::FileSystem::Path accountFile() const;

    Options options;
    DewlightPlatform::FakeClock clock;
    std::string zone;
    std::shared_ptr<DewlightPlatform::LocalNotificationCenter> center;
    std::unique_ptr<DewlightPlatform::LocalKeyValueHub> ownHub;
    DewlightPlatform::LocalKeyValueHub& hub;
    DewlightPlatform::LocalKeyValueStore& store;
    DewlightPlatform::LocalUserDefaults defaults;
    DewlightPlatform::LocalIdentityTokenSource tokens;
    DewlightPlatform::LocalFileSystem files;
    DewlightPlatform::LocalSystemEvents events;
    KestraUI::LocalLoginService* loginService;
    KestraUI::LoginItem loginItem;
    RecordingWindows windows;
    // The windows the router opened, in order: "preferences", "welcome".
    std::vector<std::string> opened;
    int routersMade = 0;
    LocalTermination termination;
    std::unique_ptr<DewlightApp::AppModel> model;

private:
    DewlightApp::AppModel::Services services();
};

} // namespace DewlightTest
