#include "app/LiveServices.h"

#include "app/IdentityEvents.h"
#include "app/UpdateNotifierAdapter.h"
#include "kit/panel/AutostartLoginService.h"
#include "platform/BuildInfo.h"
#include "platform/calendar/Calendar.h"
#include "platform/notifications/NotificationSettingsLauncher.h"
#include "platform/notifications/TimerfdWallAlarm.h"
#include "ui/Localization.h"
#include "updates/SiteUpdateFeed.h"
#include "updates/UpdateChecker.h"
#include "views/RozivWindows.h"

#include <QDBusConnection>

namespace DewlightApp {

namespace {

// Where no autostart folder can be named, "Open at Login" is refused, never pretended.
class NoLoginService final : public KestraUI::LoginItemService {
public:
    KestraUI::LoginItemStatus status() const override {
        return KestraUI::LoginItemStatus::notRegistered;
    }
    void registerItem() override {
        throw KestraUI::LoginItemError("no autostart folder: $XDG_CONFIG_HOME and $HOME unset");
    }
    void unregisterItem() override {}
};

std::unique_ptr<KestraUI::LoginItemService> loginService() {
    if (auto service = KestraUI::AutostartLoginService::forProcess())
        return std::make_unique<KestraUI::AutostartLoginService>(std::move(*service));
    return std::make_unique<NoLoginService>();
}

} // namespace

LiveServices::LiveServices(QApplication& application, const DewlightPlatform::XdgPaths& paths,
                           std::shared_ptr<const DewlightPlatform::Localizer> texts,
                           const ui::Environment& environment)
    : preferencesWindow(environment), welcomeStepsWindow(environment),
      defaults_(*paths.defaultsFile), files_(paths.dataFolder),
      syncFolder_(paths.syncFolder.value_or(std::filesystem::path())), cloudStore_(syncFolder_),
      tokens_(syncFolder_), events_(application, {.systemBus = QDBusConnection::systemBus()}),
      termination_(application), systemBusConnected_(QDBusConnection::systemBus().isConnected()),
      notifications_(std::make_shared<DewlightPlatform::LiveNotificationCenter>(
          QDBusConnection::sessionBus(), defaults_, clock_,
          std::make_unique<DewlightPlatform::TimerfdWallAlarm>(),
          DewlightPlatform::NotificationSettingsLauncher(
              qEnvironmentVariable("XDG_CURRENT_DESKTOP")))),
      localizer_(std::move(texts)), loginItem_(loginService()),
      windowCloser_(preferencesWindow, welcomeStepsWindow) {
    reportIdentityChanges(tokens_, events_);
}

LiveServices::~LiveServices() = default;

AppModel::Services LiveServices::modelServices() {
    return AppModel::Services{
        .clock = clock_,
        .calendar = [] { return DewlightPlatform::Calendar::current(); },
        .notifications = notifications_,
        .localizer = localizer_,
        .storage = {defaults_, cloudStore_, tokens_, files_},
        .events = events_,
        .loginItem = loginItem_,
        .makeWindowRouter = [this](std::weak_ptr<AppModel> model) -> std::unique_ptr<QObject> {
            return std::make_unique<DewlightViews::RozivWindows>(
                std::move(model), preferencesWindow, welcomeStepsWindow, ui::localizer(localizer_));
        },
        .windows = windowCloser_,
        .observeTermination =
            [this](QObject& context, std::function<void()> shutdown) {
                return QObject::connect(&termination_,
                                        &DewlightPlatform::TerminationSource::willTerminate,
                                        &context, std::move(shutdown));
            },
        .systemBusConnected = systemBusConnected_,
    };
}

std::unique_ptr<KestraUI::UpdateNotifier> LiveServices::makeUpdateNotifier() {
    auto checker = std::make_unique<DewlightUpdates::UpdateChecker>(
        "dewlight", std::string(DewlightPlatform::BuildInfo::version),
        std::make_shared<DewlightUpdates::SiteUpdateFeed>(), defaults_,
        [this] { return clock_.now(); });
    return std::make_unique<UpdateNotifierAdapter>(std::move(checker));
}

} // namespace DewlightApp
