#include "platform/calendar/Calendar.h"

#include "platform/calendar/HostTimeZone.h"

#include <cmath>
#include <limits>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/ucal.h>

namespace DewlightPlatform {

namespace {

constexpr double millisecondsPerSecond = 1000.0;

std::unique_ptr<icu::TimeZone> knownTimeZone(std::string_view id) {
    const auto name = icu::UnicodeString::fromUTF8(icu::StringPiece(id.data(), int32_t(id.size())));
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(name));
    icu::UnicodeString resolved;
    if (!zone || zone->getID(resolved) == icu::UnicodeString(UCAL_UNKNOWN_ZONE_ID))
        throw UnknownTimeZone(id);
    return zone;
}

std::unique_ptr<icu::Calendar> makeGregorian(std::unique_ptr<icu::TimeZone> zone) {
    UErrorCode status = U_ZERO_ERROR;
    // The root locale: week data and names play no part in what this calendar is used for.
    auto calendar =
        std::make_unique<icu::GregorianCalendar>(zone.release(), icu::Locale::getRoot(), status);
    if (U_FAILURE(status))
        throw std::runtime_error("cannot create a Gregorian calendar");
    calendar->setLenient(true); // the wall-time options below act only on a lenient calendar
    calendar->setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
    calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    return calendar;
}

// ICU counts milliseconds since 1970. Whole seconds convert exactly within every date we use.
UDate toICU(double wholeSeconds) {
    return (wholeSeconds + secondsFrom1970To2001) * millisecondsPerSecond;
}

Date fromICU(UDate milliseconds) {
    return milliseconds / millisecondsPerSecond - secondsFrom1970To2001;
}

bool representable(Date date) {
    // ICU covers about ±5.8 million years; refuse what it cannot hold rather than let it clamp.
    return std::isfinite(date) && std::fabs(date) < 1.0e14;
}

struct Fields {
    int extendedYear, month, day, hour, minute, second;
};

std::optional<Fields> readFields(icu::Calendar& calendar, double wholeSeconds) {
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(toICU(wholeSeconds), status);
    Fields fields{
        calendar.get(UCAL_EXTENDED_YEAR, status), calendar.get(UCAL_MONTH, status) + 1,
        calendar.get(UCAL_DATE, status),          calendar.get(UCAL_HOUR_OF_DAY, status),
        calendar.get(UCAL_MINUTE, status),        calendar.get(UCAL_SECOND, status),
    };
    if (U_FAILURE(status))
        return std::nullopt;
    return fields;
}

// Resolves wall-clock fields with the calendar's skipped- and repeated-time options. Fields
// beyond their range carry over (a day 0 is the last day of the month before).
std::optional<double> resolve(icu::Calendar& calendar, const Fields& fields) {
    calendar.clear();
    calendar.set(UCAL_EXTENDED_YEAR, fields.extendedYear);
    calendar.set(UCAL_MONTH, fields.month - 1);
    calendar.set(UCAL_DATE, fields.day);
    calendar.set(UCAL_HOUR_OF_DAY, fields.hour);
    calendar.set(UCAL_MINUTE, fields.minute);
    calendar.set(UCAL_SECOND, fields.second);
    calendar.set(UCAL_MILLISECOND, 0);
    UErrorCode status = U_ZERO_ERROR;
    const UDate result = calendar.getTime(status);
    if (U_FAILURE(status))
        return std::nullopt;
    return fromICU(result);
}

} // namespace

UnknownTimeZone::UnknownTimeZone(std::string_view name)
    : std::invalid_argument("unknown time zone: " + std::string(name)), name_(name) {}

Calendar::Calendar(std::unique_ptr<icu::Calendar> calendar) : calendar_(std::move(calendar)) {}

Calendar Calendar::gregorian(std::string_view timeZoneId) {
    return Calendar(makeGregorian(knownTimeZone(timeZoneId)));
}

Calendar Calendar::utc() {
    return gregorian("UTC");
}

Calendar Calendar::current() {
    return Calendar(makeGregorian(hostTimeZone()));
}

std::unique_ptr<icu::TimeZone> Calendar::timeZone() const {
    return std::unique_ptr<icu::TimeZone>(calendar_->getTimeZone().clone());
}

Calendar::Calendar(const Calendar& other) : calendar_(other.calendar_->clone()) {}

Calendar& Calendar::operator=(const Calendar& other) {
    if (this != &other) {
        calendar_.reset(other.calendar_->clone());
        utc_.reset();
    }
    return *this;
}

Calendar::Calendar(Calendar&&) noexcept = default;
Calendar& Calendar::operator=(Calendar&&) noexcept = default;
Calendar::~Calendar() = default;

std::string Calendar::timeZoneId() const {
    icu::UnicodeString id;
    calendar_->getTimeZone().getID(id);
    std::string text;
    id.toUTF8String(text);
    return text;
}

void Calendar::setTimeZone(std::string_view timeZoneId) {
    calendar_->adoptTimeZone(knownTimeZone(timeZoneId).release());
}

std::optional<DateComponents> Calendar::components(Date date) const {
    if (!representable(date))
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    calendar_->setTime(toICU(std::floor(date)), status);
    DateComponents parts;
    parts.era = calendar_->get(UCAL_ERA, status);
    parts.year = calendar_->get(UCAL_YEAR, status);
    parts.month = calendar_->get(UCAL_MONTH, status) + 1;
    parts.day = calendar_->get(UCAL_DATE, status);
    parts.hour = calendar_->get(UCAL_HOUR_OF_DAY, status);
    parts.minute = calendar_->get(UCAL_MINUTE, status);
    parts.second = calendar_->get(UCAL_SECOND, status);
    parts.weekday = calendar_->get(UCAL_DAY_OF_WEEK, status);
    if (U_FAILURE(status))
        return std::nullopt;
    return parts;
}

std::optional<Date> Calendar::date(const DateComponents& parts) const {
    if (parts.era < 0 || parts.era > 1 || parts.year < 1 || parts.month < 1 || parts.month > 12 ||
        parts.day < 1 || parts.day > 31 || parts.hour < 0 || parts.hour > 23 || parts.minute < 0 ||
        parts.minute > 59 || parts.second < 0 || parts.second > 59)
        return std::nullopt;
    const int extendedYear = parts.era == 1 ? parts.year : 1 - parts.year;
    const auto result = resolve(
        *calendar_, {extendedYear, parts.month, parts.day, parts.hour, parts.minute, parts.second});
    if (!result)
        return std::nullopt;
    // A day past the month's end would have carried into the next month: no such date.
    UErrorCode status = U_ZERO_ERROR;
    if (calendar_->get(UCAL_DATE, status) != parts.day || U_FAILURE(status))
        return std::nullopt;
    return result;
}

std::optional<Date> Calendar::dateBySettingTime(int hour, int minute, int second, Date day) const {
    if (!representable(day) || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 59)
        return std::nullopt;
    auto fields = readFields(*calendar_, std::floor(day));
    if (!fields)
        return std::nullopt;
    fields->hour = hour;
    fields->minute = minute;
    fields->second = second;
    return resolve(*calendar_, *fields);
}

std::optional<Date> Calendar::dateByAddingDays(int days, Date date) const {
    if (!representable(date))
        return std::nullopt;
    const double whole = std::floor(date);
    auto fields = readFields(*calendar_, whole);
    if (!fields)
        return std::nullopt;
    const Fields wanted = *fields;
    const long long day = static_cast<long long>(fields->day) + days;
    if (day > std::numeric_limits<int>::max() || day < std::numeric_limits<int>::min())
        return std::nullopt;
    fields->day = static_cast<int>(day);
    const auto result = resolve(*calendar_, *fields);
    if (!result)
        return std::nullopt;
    if (date == whole)
        return result;
    // Keep the fraction of the second unless the wall time was skipped and moved to the jump.
    UErrorCode status = U_ZERO_ERROR;
    const bool sameWallTime = calendar_->get(UCAL_HOUR_OF_DAY, status) == wanted.hour &&
                              calendar_->get(UCAL_MINUTE, status) == wanted.minute &&
                              calendar_->get(UCAL_SECOND, status) == wanted.second;
    if (U_FAILURE(status))
        return std::nullopt;
    return sameWallTime ? *result + (date - whole) : *result;
}

const Calendar& Calendar::utcCalendar() const {
    if (!utc_) {
        std::unique_ptr<icu::Calendar> copy(calendar_->clone());
        copy->adoptTimeZone(knownTimeZone("UTC").release());
        utc_.reset(new Calendar(std::move(copy)));
    }
    return *utc_;
}

} // namespace DewlightPlatform
