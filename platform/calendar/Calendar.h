#pragma once

// Calendars and time zones over ICU: civil fields of a moment, the moment of civil fields, and
// the zones the database knows.

#include "platform/calendar/Date.h"
#include "platform/calendar/DateComponents.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Calendar;
class TimeZone;
U_NAMESPACE_END

namespace DewlightPlatform {

// A zone name the time-zone database does not know. ICU would quietly use GMT in its place,
// which would move every working day without a word; we refuse the name instead.
class UnknownTimeZone : public std::invalid_argument {
public:
    explicit UnknownTimeZone(std::string_view name);
    const std::string& name() const { return name_; }

private:
    std::string name_;
};

// The Gregorian calendar in one time zone, over ICU.
//
// Wall-clock times are resolved the same way everywhere:
// - a time skipped by a daylight-saving jump moves forward to the next existing time (the
//   instant of the jump),
// - a time that occurs twice takes its first occurrence,
// - searches go forward.
// ICU's defaults differ on both counts, so they are set here once and for all.
//
// Operations that can find no moment return an empty optional. A Calendar keeps ICU working
// state, so one instance must not be used from two threads at once; copies are independent.
class Calendar {
public:
    // Throws UnknownTimeZone for a name the time-zone database does not know.
    static Calendar gregorian(std::string_view timeZoneId);
    static Calendar utc();
    // The host's time zone, as `hostTimeZone()` finds it.
    static Calendar current();

    Calendar(const Calendar& other);
    Calendar& operator=(const Calendar& other);
    Calendar(Calendar&&) noexcept;
    Calendar& operator=(Calendar&&) noexcept;
    ~Calendar();

    // The zone's identifier, e.g. "Europe/Berlin".
    std::string timeZoneId() const;
    // A copy of the zone itself. A host zone that the database does not name (a zone file of
    // the user's own) has no identifier that would make it again.
    std::unique_ptr<icu::TimeZone> timeZone() const;
    // Throws UnknownTimeZone and keeps the current zone when the name is unknown.
    void setTimeZone(std::string_view timeZoneId);

    // The wall-clock fields of the second that holds the moment; empty for a moment that is not
    // finite or lies beyond the calendar's reach.
    std::optional<DateComponents> components(Date date) const;
    // The moment of the wall-clock fields (era, year, month, day, hour, minute, second); empty
    // when a field is out of its range (a 31 April, an hour 24) or the zone skipped that whole day.
    std::optional<Date> date(const DateComponents& components) const;
    // The given wall-clock time on the civil day that holds the moment.
    std::optional<Date> dateBySettingTime(int hour, int minute, int second, Date day) const;
    // The same wall-clock time `days` calendar days later (earlier when negative): a calendar
    // step, which is 23 or 25 hours across a daylight-saving change, never a multiple of 86400 s.
    std::optional<Date> dateByAddingDays(int days, Date date) const;

    // The same calendar in UTC, kept alongside so that converting to civil days (read here,
    // built there) does not rebuild an ICU calendar on each call.
    const Calendar& utcCalendar() const;

private:
    explicit Calendar(std::unique_ptr<icu::Calendar> calendar);

    std::unique_ptr<icu::Calendar> calendar_;
    mutable std::unique_ptr<Calendar> utc_;
};

} // namespace DewlightPlatform
