#include "kit/panel/AutostartLoginService.h"

#include "platform/storage/AtomicWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdlib>
#include <system_error>

namespace KestraUI {

namespace {

constexpr const char* entryName = "dewlight.desktop";
constexpr const char* group = "[Desktop Entry]";

// A value of the [Desktop Entry] group, trimmed; none when the key is absent.
std::optional<QByteArray> entryValue(const QByteArray& contents, const QByteArray& key) {
    bool inGroup = false;
    for (QByteArray line : contents.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            inGroup = line == group;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (inGroup && equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return std::nullopt;
}

bool isWithin(const QString& path, const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QString cleanPath = QDir::cleanPath(path);
    const QString cleanFolder = QDir::cleanPath(folder);
    return cleanPath == cleanFolder || cleanPath.startsWith(cleanFolder + u'/');
}

} // namespace

AutostartLoginService::AutostartLoginService(std::filesystem::path entry, QString binary)
    : entry_(std::move(entry)), binary_(std::move(binary)) {}

std::optional<std::filesystem::path>
AutostartLoginService::entryPath(const Environment& environment) {
    std::optional<std::filesystem::path> config;
    if (auto value = environment("XDG_CONFIG_HOME"); value && !value->empty()) {
        std::filesystem::path path(*value);
        if (path.is_absolute())
            config = path;
    }
    if (!config)
        if (auto home = environment("HOME"); home && !home->empty()) {
            std::filesystem::path path(*home);
            if (path.is_absolute())
                config = path / ".config";
        }
    if (!config)
        return std::nullopt;
    return *config / "autostart" / entryName;
}

std::optional<AutostartLoginService> AutostartLoginService::forProcess() {
    const auto path = entryPath([](const char* name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name))
            return std::string(value);
        return std::nullopt;
    });
    if (!path)
        return std::nullopt;
    std::error_code error;
    const auto running = std::filesystem::read_symlink("/proc/self/exe", error);
    QStringList installed = {QStringLiteral(DEWLIGHT_INSTALLED_BINARY)};
    if (const QString onPath = QStandardPaths::findExecutable(QStringLiteral("dewlight"));
        !onPath.isEmpty())
        installed << onPath;
    const QString binary =
        autostartBinary(error ? QString() : QFile::decodeName(running.c_str()),
                        QStringLiteral(DEWLIGHT_BUILD_FOLDER), installed, [](const QString& file) {
                            const QFileInfo info(file);
                            return info.isFile() && info.isExecutable();
                        });
    return AutostartLoginService(*path, binary);
}

LoginItemStatus AutostartLoginService::status() const {
    QFile file(QFile::decodeName(entry_.c_str()));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return LoginItemStatus::notRegistered;
    const QByteArray contents = file.readAll();
    if (entryValue(contents, "Hidden") == "true" ||
        entryValue(contents, "X-GNOME-Autostart-enabled") == "false")
        return LoginItemStatus::notRegistered;
    return LoginItemStatus::enabled;
}

QByteArray AutostartLoginService::contents() const {
    QByteArray text;
    text += "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=Dewlight\n";
    // The desktop's login settings list the entry with this icon and text.
    text += "Comment=Reminds you to drink water during your working hours and counts what you "
            "drink\n";
    text += "Icon=dewlight\n";
    text += "Exec=" + desktopExecArgument(binary_).toUtf8() + "\n";
    text += "Terminal=false\n";
    text += "X-GNOME-Autostart-enabled=true\n";
    return text;
}

void AutostartLoginService::registerItem() {
    if (binary_.isEmpty())
        throw LoginItemError("the application's own binary could not be found");
    std::error_code error;
    std::filesystem::create_directories(entry_.parent_path(), error);
    if (error)
        throw LoginItemError("cannot create " + entry_.parent_path().string() + ": " +
                             error.message());
    if (!DewlightPlatform::AtomicWrite::write(entry_, contents()))
        throw LoginItemError("cannot write " + entry_.string());
}

void AutostartLoginService::unregisterItem() {
    std::error_code error;
    std::filesystem::remove(entry_, error);
    if (error)
        throw LoginItemError("cannot remove " + entry_.string() + ": " + error.message());
}

QString autostartBinary(const QString& running, const QString& buildFolder,
                        const QStringList& installed,
                        const std::function<bool(const QString&)>& isExecutable) {
    if (!running.isEmpty() && !isWithin(running, buildFolder))
        return running;
    for (const QString& candidate : installed)
        if (!candidate.isEmpty() && !isWithin(candidate, buildFolder) && isExecutable(candidate))
            return candidate;
    return running;
}

QString desktopExecArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool quoted =
        argument.isEmpty() ||
        std::any_of(argument.begin(), argument.end(), [](QChar c) { return reserved.contains(c); });
    QString arg;
    if (quoted)
        arg += u'"';
    for (const QChar c : argument) {
        if (quoted && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            arg += u'\\';
        arg += c;
        if (c == u'%')
            arg += u'%';
    }
    if (quoted)
        arg += u'"';
    // The string-value escapes, applied on top of the quoting.
    QString value;
    for (const QChar c : arg) {
        switch (c.unicode()) {
        case u'\\':
            value += QStringLiteral("\\\\");
            break;
        case u'\n':
            value += QStringLiteral("\\n");
            break;
        case u'\t':
            value += QStringLiteral("\\t");
            break;
        case u'\r':
            value += QStringLiteral("\\r");
            break;
        default:
            value += c;
        }
    }
    return value;
}

} // namespace KestraUI
