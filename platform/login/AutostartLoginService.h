#pragma once

#include "platform/login/LoginItemService.h"

#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace DewlightPlatform {

// The login item on the Linux desktop: an XDG autostart entry of our own,
// $XDG_CONFIG_HOME/autostart/dewlight.desktop. It counts as enabled exactly when the file exists
// and is neither hidden (Hidden=true) nor switched off by the GNOME key
// (X-GNOME-Autostart-enabled=false); any other file at that path, or none, is not registered.
class AutostartLoginService final : public LoginItemService {
public:
    // `entry` is the file to manage, `binary` the program its Exec line starts.
    AutostartLoginService(std::filesystem::path entry, QString binary);

    using Environment = std::function<std::optional<std::string>(const char*)>;
    // The entry's place under $XDG_CONFIG_HOME (or ~/.config when that is unset, empty or
    // relative); none when neither gives an absolute folder.
    static std::optional<std::filesystem::path> entryPath(const Environment& environment);
    // The service for this process: its environment and its installed binary.
    static std::optional<AutostartLoginService> forProcess();

    LoginItemStatus status() const override;
    // Writes the entry atomically, replacing a hidden or switched-off one.
    void registerItem() override;
    // Removes the entry; nothing to do when there is none.
    void unregisterItem() override;

    const std::filesystem::path& entry() const { return entry_; }
    // The entry's text, as registerItem writes it.
    QByteArray contents() const;

private:
    std::filesystem::path entry_;
    QString binary_;
};

// The program an autostart entry should start: the running binary, except when it runs from
// the build folder and an installed copy exists, which is then preferred, so that logging in
// never starts a stale development build. `installed` lists candidates in order of preference.
QString autostartBinary(const QString& running, const QString& buildFolder,
                        const QStringList& installed,
                        const std::function<bool(const QString&)>& isExecutable);

// One argument of an Exec line, quoted as the Desktop Entry specification asks (reserved
// characters put the argument in double quotes, with `"`, `` ` ``, `$` and `\` escaped; `%` is
// doubled) and then escaped as a string value (`\` doubled, line breaks and tabs written out).
QString desktopExecArgument(const QString& argument);

} // namespace DewlightPlatform
