#include "platform/notifications/NotificationSettingsLauncher.h"

#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <vector>

using namespace DewlightPlatform;

namespace {

TEST(NotificationSettingsLauncher, PicksTheFirstListedDesktopWithItsToolInstalled) {
    struct Case {
        const char* desktop;
        std::set<QString> installed;
        std::optional<DesktopCommand> expected;
    };
    const DesktopCommand gnome{"gnome-control-center", {"notifications"}};
    const std::vector<Case> cases{
        {"GNOME", {"gnome-control-center"}, gnome},
        {"ubuntu:GNOME", {"gnome-control-center"}, gnome},
        {"KDE", {"systemsettings"}, DesktopCommand{"systemsettings", {"kcm_notifications"}}},
        {"kde", {"kcmshell5"}, DesktopCommand{"kcmshell5", {"kcm_notifications"}}},
        {"XFCE", {"xfce4-notifyd-config"}, DesktopCommand{"xfce4-notifyd-config", {}}},
        {"X-Cinnamon",
         {"cinnamon-settings"},
         DesktopCommand{"cinnamon-settings", {"notifications"}}},
        // Budgie names GNOME second; without its own tool, GNOME's is used.
        {"Budgie:GNOME", {"gnome-control-center"}, gnome},
        {"GNOME", {}, std::nullopt},
        {"sway", {"gnome-control-center"}, std::nullopt},
        {"", {"gnome-control-center"}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desktop);
        const NotificationSettingsLauncher launcher(
            QString::fromLatin1(c.desktop),
            [&](const QString& program) { return c.installed.contains(program); },
            [](const DesktopCommand&) { return true; });
        EXPECT_EQ(launcher.command(), c.expected);
    }
}

TEST(NotificationSettingsLauncher, OpensDetachedOnlyWhatItKnows) {
    std::vector<DesktopCommand> started;
    bool starts = true;
    const auto start = [&](const DesktopCommand& command) {
        started.push_back(command);
        return starts;
    };
    const auto everything = [](const QString&) { return true; };
    EXPECT_FALSE(NotificationSettingsLauncher("Unknown", everything, start).open());
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(NotificationSettingsLauncher("XFCE", everything, start).open());
    starts = false;
    EXPECT_FALSE(NotificationSettingsLauncher("XFCE", everything, start).open());
    EXPECT_EQ(started.size(), 2u);
}

} // namespace
