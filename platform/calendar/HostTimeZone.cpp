#include "platform/calendar/HostTimeZone.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <unicode/simpletz.h>
#include <unicode/timezone.h>
#include <unicode/ucal.h>

namespace DewlightPlatform {

namespace {

namespace fs = std::filesystem;

constexpr int secondsPerHour = 3600;
constexpr int secondsPerDay = 24 * secondsPerHour;

std::unique_ptr<icu::TimeZone> named(std::string_view name) {
    if (name.empty())
        return nullptr;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(
        icu::UnicodeString::fromUTF8(icu::StringPiece(name.data(), int32_t(name.size())))));
    icu::UnicodeString id;
    if (!zone || zone->getID(id) == icu::UnicodeString(UCAL_UNKNOWN_ZONE_ID))
        return nullptr;
    return zone;
}

// Reads a POSIX rule from left to right.
class RuleReader {
public:
    explicit RuleReader(std::string_view text) : text_(text) {}

    bool done() const { return at_ >= text_.size(); }
    bool take(char c) {
        if (done() || text_[at_] != c)
            return false;
        ++at_;
        return true;
    }

    // Three letters or more, or "<...>" of letters, digits and signs.
    bool name() {
        if (take('<')) {
            const auto close = text_.find('>', at_);
            if (close == std::string_view::npos || close - at_ < 3)
                return false;
            for (; at_ < close; ++at_)
                if (!std::isalnum(static_cast<unsigned char>(text_[at_])) && text_[at_] != '+' &&
                    text_[at_] != '-')
                    return false;
            return take('>');
        }
        const auto start = at_;
        while (!done() && std::isalpha(static_cast<unsigned char>(text_[at_])))
            ++at_;
        return at_ - start >= 3;
    }

    // [+-]hh[:mm[:ss]] in seconds.
    std::optional<int> time(int maximumHours) {
        const int sign = take('-') ? -1 : (take('+'), 1);
        const auto hours = number(3);
        if (!hours || *hours > maximumHours)
            return std::nullopt;
        int seconds = *hours * secondsPerHour;
        for (int unit : {60, 1}) {
            if (!take(':'))
                break;
            const auto part = number(2);
            if (!part || *part > 59)
                return std::nullopt;
            seconds += *part * unit;
        }
        return sign * seconds;
    }

    std::optional<int> number(std::size_t maximumDigits) {
        const auto start = at_;
        int value = 0;
        while (!done() && at_ - start < maximumDigits &&
               std::isdigit(static_cast<unsigned char>(text_[at_])))
            value = value * 10 + (text_[at_++] - '0');
        if (at_ == start)
            return std::nullopt;
        return value;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// One end of the daylight-saving time in ICU's terms: a month, and a weekday of a week in it or
// a day of the month (weekday 0).
struct Change {
    int8_t month = 0, day = 0, weekday = 0;
    int32_t milliseconds = 0;
};

// "Jn" (1 to 365, no leap day), "n" (0 to 365, leap day counted), or "Mm.w.d", then "/time".
std::optional<Change> readChange(RuleReader& reader) {
    static constexpr int monthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    Change change;
    std::optional<int> dayOfYear; // counted from 0, February always of 28 days
    if (reader.take('M')) {
        // -1 stands for a missing part, which every range below refuses.
        const int month = reader.number(2).value_or(-1);
        const int week = reader.take('.') ? reader.number(1).value_or(-1) : -1;
        const int weekday = reader.take('.') ? reader.number(1).value_or(-1) : -1;
        if (month < 1 || month > 12 || week < 1 || week > 5 || weekday < 0 || weekday > 6)
            return std::nullopt;
        change.month = int8_t(month - 1);
        change.day = int8_t(week == 5 ? -1 : week);
        change.weekday = int8_t(UCAL_SUNDAY + weekday);
    } else if (reader.take('J')) {
        const auto day = reader.number(3);
        if (!day || *day < 1 || *day > 365)
            return std::nullopt;
        dayOfYear = *day - 1;
    } else {
        // Days after February move with the leap day, which no yearly ICU rule does.
        const auto day = reader.number(3);
        if (!day || *day >= 31 + 28)
            return std::nullopt;
        dayOfYear = *day;
    }
    if (dayOfYear) {
        int month = 0;
        while (*dayOfYear >= monthLengths[month])
            *dayOfYear -= monthLengths[month++];
        change.month = int8_t(month);
        change.day = int8_t(*dayOfYear + 1);
    }
    int seconds = 2 * secondsPerHour;
    if (reader.take('/')) {
        const auto time = reader.time(167);
        if (!time)
            return std::nullopt;
        seconds = *time;
    }
    if (seconds < 0 || seconds > secondsPerDay)
        return std::nullopt;
    change.milliseconds = seconds * 1000;
    return change;
}

// The zone of a zone file: its name in the tz database when its path (or the file a link names)
// lies in a zone folder, else the rule for now on the file's last line.
std::unique_ptr<icu::TimeZone> fromZoneFile(const fs::path& file) {
    std::error_code error;
    for (const fs::path& path : {file, fs::canonical(file, error)}) {
        const std::string text = path.lexically_normal().string();
        const auto at = text.rfind("zoneinfo/");
        if (at == std::string::npos)
            continue;
        std::string_view name = std::string_view(text).substr(at + 9);
        for (std::string_view variant : {"posix/", "right/"})
            if (name.starts_with(variant))
                name.remove_prefix(variant.size());
        if (auto zone = named(name))
            return zone;
    }
    std::ifstream stream(file, std::ios::binary);
    std::string bytes;
    constexpr std::size_t limit = 1 << 20;
    bytes.resize(limit);
    stream.read(bytes.data(), std::streamsize(limit));
    bytes.resize(std::size_t(stream.gcount()));
    // Version 2 and later end with "\n<rule>\n".
    if (!bytes.starts_with("TZif") || bytes.size() < 6 || bytes[4] < '2' || !bytes.ends_with('\n'))
        return nullptr;
    const auto start = bytes.rfind('\n', bytes.size() - 2);
    if (start == std::string::npos)
        return nullptr;
    return posixTimeZone(std::string_view(bytes).substr(start + 1, bytes.size() - start - 2));
}

std::unique_ptr<icu::TimeZone> utc() {
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::getGMT()->clone());
}

// The zone that TZ names, or null.
std::unique_ptr<icu::TimeZone> followed(std::string_view value, const ZoneFiles& files) {
    if (value.empty())
        return named("UTC"); // set but empty: the C library's UTC
    const bool path = value.starts_with(':');
    if (path)
        value.remove_prefix(1);
    if (value.empty())
        return fromZoneFile(files.localtime);
    const fs::path file = value.starts_with('/') ? fs::path(value) : files.folder / value;
    std::error_code error;
    if (fs::is_regular_file(file, error)) {
        if (auto zone = value.starts_with('/') ? nullptr : named(value))
            return zone;
        if (auto zone = fromZoneFile(file))
            return zone;
    }
    if (auto zone = posixTimeZone(value))
        return zone;
    // A name of ICU's own database where the machine's zone files lack it.
    return named(value);
}

void reportOnce(std::string_view value) {
    static std::mutex guard;
    static std::set<std::string, std::less<>> reported;
    const std::lock_guard lock(guard);
    if (reported.emplace(value).second)
        std::fprintf(stderr,
                     "dewlight: TZ=%.*s names no time zone that can be followed; the zone of "
                     "/etc/localtime is used\n",
                     int(value.size()), value.data());
}

} // namespace

std::unique_ptr<icu::TimeZone> posixTimeZone(std::string_view rule) {
    RuleReader reader(rule);
    if (!reader.name())
        return nullptr;
    // POSIX offsets count west of Greenwich; ICU's count east.
    const auto standard = reader.time(24);
    if (!standard)
        return nullptr;
    const int32_t raw = -*standard * 1000;
    const auto id = icu::UnicodeString::fromUTF8(icu::StringPiece(rule.data(), int32_t(rule.size())));
    if (reader.done())
        return std::make_unique<icu::SimpleTimeZone>(raw, id);
    if (!reader.name())
        return nullptr;
    int32_t daylight = raw + secondsPerHour * 1000;
    if (!reader.done() && !reader.take(',')) {
        const auto offset = reader.time(24);
        if (!offset || (!reader.done() && !reader.take(',')))
            return nullptr;
        daylight = -*offset * 1000;
    }
    // Without dates, the C library's default: the second Sunday of March to the first of November.
    Change start{2, 2, UCAL_SUNDAY, 2 * secondsPerHour * 1000};
    Change end{10, 1, UCAL_SUNDAY, 2 * secondsPerHour * 1000};
    if (!reader.done()) {
        const auto first = readChange(reader);
        const auto last = reader.take(',') ? readChange(reader) : std::nullopt;
        if (!first || !last || !reader.done())
            return nullptr;
        start = *first;
        end = *last;
    }
    UErrorCode status = U_ZERO_ERROR;
    auto zone = std::make_unique<icu::SimpleTimeZone>(
        raw, id, start.month, start.day, start.weekday, start.milliseconds,
        icu::SimpleTimeZone::WALL_TIME, end.month, end.day, end.weekday, end.milliseconds,
        icu::SimpleTimeZone::WALL_TIME, daylight - raw, status);
    if (U_FAILURE(status))
        return nullptr;
    return zone;
}

std::unique_ptr<icu::TimeZone> hostTimeZone(std::optional<std::string_view> tz,
                                            const ZoneFiles& files) {
    if (tz) {
        if (auto zone = followed(*tz, files))
            return zone;
        reportOnce(*tz);
    }
    if (auto zone = fromZoneFile(files.localtime))
        return zone;
    return utc();
}

std::unique_ptr<icu::TimeZone> hostTimeZone() {
    const char* tz = std::getenv("TZ");
    ZoneFiles files;
    if (const char* folder = std::getenv("TZDIR"); folder && *folder)
        files.folder = folder;
    if (tz)
        if (auto zone = followed(tz, files))
            return zone;
    // ICU finds the name of an /etc/localtime that is a copy rather than a link, and reads a
    // zone file of the user's own (one without a rule for now) when its path holds no digit.
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString id;
    if (zone && zone->getID(id) != icu::UnicodeString(UCAL_UNKNOWN_ZONE_ID) &&
        (!tz || zone->getRawOffset() != 0 || id != icu::UnicodeString("GMT")))
        return zone;
    return hostTimeZone(tz ? std::optional<std::string_view>(tz) : std::nullopt, files);
}

} // namespace DewlightPlatform
