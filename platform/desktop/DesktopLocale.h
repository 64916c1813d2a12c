#pragma once

#include <QLocale>
#include <functional>
#include <optional>
#include <string>

namespace DewlightPlatform {

// The locale dates and numbers are shown in: the environment's (LC_ALL, then LC_TIME, then LANG,
// the first that is set and not empty), with its codeset and modifier dropped. The C or POSIX
// locale, or one Qt does not know, gives US English instead: the C locale formats nothing for
// people (24-hour "C" times, no grouping, English month abbreviations without rules).
using EnvironmentReader = std::function<std::optional<std::string>(const char*)>;
QLocale desktopLocale(const EnvironmentReader& environment);
QLocale desktopLocaleFromProcess();

} // namespace DewlightPlatform
