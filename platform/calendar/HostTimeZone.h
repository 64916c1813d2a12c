#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class TimeZone;
U_NAMESPACE_END

namespace DewlightPlatform {

// Where the C library looks for zones: the zone files, and the file of the machine's own zone.
struct ZoneFiles {
    std::filesystem::path folder = "/usr/share/zoneinfo";
    std::filesystem::path localtime = "/etc/localtime";
};

// The zone that the C library follows for a value of TZ (none: TZ unset), as far as ICU can hold
// it: a zone file named by path or relative to the folder, a name of the tz database, or a POSIX
// rule ("<+0536>-5:36", "CET-1CEST,M3.5.0,M10.5.0/3"). A value that none of these can represent
// is logged once and gives the machine's own zone. Never null.
std::unique_ptr<icu::TimeZone> hostTimeZone(std::optional<std::string_view> tz,
                                            const ZoneFiles& files = {});
// The same for this process's TZ and TZDIR.
std::unique_ptr<icu::TimeZone> hostTimeZone();

// A zone with the fixed offset or the yearly daylight-saving rule of a POSIX TZ rule, named by the
// rule; null for text that is not such a rule or for a rule ICU cannot hold (a day counted with
// the leap day after February, a change outside its day's 24 hours).
std::unique_ptr<icu::TimeZone> posixTimeZone(std::string_view rule);

} // namespace DewlightPlatform
