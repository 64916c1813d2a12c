#include "platform/notifications/NotificationSettingsLauncher.h"

#include "platform/runtime/Log.h"

#include <QProcess>
#include <QStandardPaths>
#include <utility>
#include <vector>

namespace DewlightPlatform {

namespace {

struct DesktopSettings {
    const char* desktop; // as XDG_CURRENT_DESKTOP names it, compared without case
    std::vector<DesktopCommand> candidates; // the first installed one is used
};

const std::vector<DesktopSettings>& knownDesktops() {
    static const std::vector<DesktopSettings> desktops{
        {"GNOME", {{"gnome-control-center", {"notifications"}}}},
        {"Budgie", {{"budgie-control-center", {"notifications"}}}},
        // Plasma 6 and 5 name the tool differently.
        {"KDE",
         {{"systemsettings", {"kcm_notifications"}},
          {"systemsettings5", {"kcm_notifications"}},
          {"kcmshell6", {"kcm_notifications"}},
          {"kcmshell5", {"kcm_notifications"}}}},
        {"XFCE", {{"xfce4-notifyd-config", {}}}},
        {"X-Cinnamon", {{"cinnamon-settings", {"notifications"}}}},
        {"Cinnamon", {{"cinnamon-settings", {"notifications"}}}},
        {"MATE", {{"mate-notification-properties", {}}}},
        {"LXQt", {{"lxqt-config-notificationd", {}}}},
    };
    return desktops;
}

} // namespace

NotificationSettingsLauncher::NotificationSettingsLauncher(QString currentDesktop,
                                                           Installed installed, Start start)
    : currentDesktop_(std::move(currentDesktop)), installed_(std::move(installed)),
      start_(std::move(start)) {
    if (!installed_) {
        installed_ = [](const QString& program) {
            return !QStandardPaths::findExecutable(program).isEmpty();
        };
    }
    if (!start_) {
        start_ = [](const DesktopCommand& command) {
            return QProcess::startDetached(command.program, command.arguments);
        };
    }
}

std::optional<DesktopCommand> NotificationSettingsLauncher::command() const {
    const auto names = currentDesktop_.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const auto& name : names) {
        for (const auto& known : knownDesktops()) {
            if (name.trimmed().compare(QLatin1String(known.desktop), Qt::CaseInsensitive) != 0) {
                continue;
            }
            for (const auto& candidate : known.candidates) {
                if (installed_(candidate.program)) {
                    return candidate;
                }
            }
        }
    }
    return std::nullopt;
}

bool NotificationSettingsLauncher::open() const {
    const auto found = command();
    if (!found) {
        qCInfo(systemLog, "no notification settings are known for the desktop \"%s\"",
               qUtf8Printable(currentDesktop_));
        return false;
    }
    if (!start_(*found)) {
        qCWarning(systemLog, "the notification settings could not be started: %s",
                  qUtf8Printable(found->program));
        return false;
    }
    return true;
}

} // namespace DewlightPlatform
