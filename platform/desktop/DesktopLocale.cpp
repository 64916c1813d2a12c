#include "platform/desktop/DesktopLocale.h"

#include <cstdlib>

namespace DewlightPlatform {

QLocale desktopLocale(const EnvironmentReader& environment) {
    const QLocale fallback(QLocale::English, QLocale::UnitedStates);
    std::optional<std::string> chosen;
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        if (auto value = environment(name); value && !value->empty()) {
            chosen = std::move(value);
            break;
        }
    }
    if (!chosen)
        return fallback;
    QString name = QString::fromStdString(*chosen);
    name = name.left(name.indexOf(QLatin1Char('@'))); // left(-1) keeps all
    name = name.left(name.indexOf(QLatin1Char('.')));
    if (name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX"))
        return fallback;
    const QLocale locale(name);
    return locale.language() == QLocale::C ? fallback : locale;
}

QLocale desktopLocaleFromProcess() {
    return desktopLocale([](const char* name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name))
            return std::string(value);
        return std::nullopt;
    });
}

} // namespace DewlightPlatform
