#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace DewlightPlatform {

// A program and its arguments.
struct DesktopCommand {
    QString program;
    QStringList arguments;

    bool operator==(const DesktopCommand&) const = default;
};

// Opens the desktop's own notification settings: the first desktop named in
// XDG_CURRENT_DESKTOP (a colon-separated list) whose settings tool is installed.
class NotificationSettingsLauncher {
public:
    // Whether `program` can be found on the PATH.
    using Installed = std::function<bool(const QString& program)>;
    // Starts `command` detached; answers whether it started.
    using Start = std::function<bool(const DesktopCommand& command)>;

    // Empty functions stand for the machine's own: a PATH look-up and QProcess::startDetached.
    explicit NotificationSettingsLauncher(QString currentDesktop, Installed installed = {},
                                          Start start = {});

    std::optional<DesktopCommand> command() const;
    // False, and nothing started, when no settings tool is known or it failed to start.
    bool open() const;

private:
    QString currentDesktop_;
    Installed installed_;
    Start start_;
};

} // namespace DewlightPlatform
