#pragma once

#include "platform/calendar/Date.h"
#include "ui/Localization.h"

#include <QLocale>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Locale;
class DateFormat;
class DateFormatSymbols;
class TimeZone;
U_NAMESPACE_END

namespace DewlightPlatform {
class Calendar;
}

namespace DewlightViews {

using DewlightPlatform::Date;

// The numbers, times and weekday names the views show, in the view's locale. Times of day are
// shown in the zone of the calendar passed in, never the process's own.
//
// ICU writes a narrow no-break space (U+202F) before the day-period marker: "2:05 PM".
// Formatters are made on first use and kept for the thread, per locale, zone and skeleton:
// views make an instance per build, and building a formatter costs far more than formatting.
// One instance belongs to one thread.
class RozivFormat {
public:
    enum class WeekdayWidth { narrow, wide }; // "M" and "Monday" in English

    RozivFormat(const QLocale& locale, const DewlightPlatform::Calendar& calendar);
    RozivFormat(const RozivFormat&) = delete;
    RozivFormat& operator=(const RozivFormat&) = delete;
    ~RozivFormat();

    // Hour with the locale's day-period marker where it uses one, and minute: "2:05 PM", "14:05".
    QString time(Date date) const;
    // The same with the abbreviated weekday: "Fri 2:05 PM".
    QString weekdayTime(Date date) const;
    // The wall-clock time `minuteOfDay` minutes after midnight, in the locale's short time style.
    // It never depends on a zone: 540 is "9:00 AM" or "09:00" everywhere, on every day.
    QString clockText(std::int64_t minuteOfDay) const;
    // The standalone name of a day numbered 1 = Monday ... 7 = Sunday; empty for other numbers.
    QString weekdayName(std::int64_t day, WeekdayWidth width) const;
    // An integer with the locale's grouping: "12,345".
    QString integer(std::int64_t value) const;

    // What was drunk, in glasses with quarter steps: "%lld glasses" for whole glasses, else
    // "%@ glasses" with the fraction ("1¾", "½"; no leading zero).
    ui::LocalizedText countText(std::int64_t quarters) const;
    // The day's range: its own text for 1 to 1, else the numbers as plain digits.
    static ui::LocalizedText rangeText(std::int64_t lower, std::int64_t upper);

private:
    const icu::DateFormat& skeletonFormat(std::shared_ptr<const icu::DateFormat>& slot,
                                          const char* skeleton) const;

    std::unique_ptr<icu::Locale> locale_;
    std::unique_ptr<icu::TimeZone> zone_;
    mutable std::shared_ptr<const icu::DateFormat> time_;
    mutable std::shared_ptr<const icu::DateFormat> weekdayTime_;
    mutable std::shared_ptr<const icu::DateFormat> clock_;
};

} // namespace DewlightViews
