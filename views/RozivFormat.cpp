#include "views/RozivFormat.h"

#include "platform/calendar/Calendar.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>
#include <unicode/datefmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/numberformatter.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace DewlightViews {

namespace {

constexpr double millisecondsPerSecond = 1000.0;

QString toQString(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

icu::Locale icuLocale(const QLocale& locale) {
    // The C locale has no language tag of its own worth passing on: ICU's root data fits it.
    if (locale.language() == QLocale::C)
        return icu::Locale::getRoot();
    UErrorCode status = U_ZERO_ERROR;
    const auto tag = locale.bcp47Name().toStdString();
    icu::Locale converted = icu::Locale::forLanguageTag(tag, status);
    if (U_FAILURE(status) || converted.isBogus())
        return icu::Locale::getRoot();
    return converted;
}

UDate toICU(Date date) {
    return (date + DewlightPlatform::secondsFrom1970To2001) * millisecondsPerSecond;
}

QString format(const icu::DateFormat& formatter, Date date) {
    if (!std::isfinite(date))
        return {};
    icu::UnicodeString text;
    formatter.format(toICU(date), text);
    return toQString(text);
}

// A formatter is shared by every instance of the same locale, zone and skeleton on the thread;
// an empty skeleton is the locale's short time style in GMT.
struct DateFormatEntry {
    std::string locale;
    std::unique_ptr<icu::TimeZone> zone;
    std::string skeleton;
    std::shared_ptr<const icu::DateFormat> format;
};

struct LocaleEntry {
    std::string locale;
    std::unique_ptr<icu::DateFormatSymbols> symbols;
    std::optional<icu::number::LocalizedNumberFormatter> numbers;
};

// Few locales and zones meet in one run; a zone change adds entries, so the oldest go.
constexpr std::size_t keptEntries = 16;

thread_local std::vector<DateFormatEntry> dateFormats;
thread_local std::vector<LocaleEntry> localeData;

std::unique_ptr<icu::DateFormat> makeSkeletonFormat(const icu::Locale& locale,
                                                    const char* skeleton) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    icu::UnicodeString pattern;
    if (U_SUCCESS(status))
        pattern = generator->getBestPattern(icu::UnicodeString(skeleton), status);
    if (U_FAILURE(status) || pattern.isEmpty()) {
        status = U_ZERO_ERROR;
        pattern = icu::UnicodeString(skeleton); // still a valid pattern, if a plain one
    }
    auto formatter = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        formatter =
            std::make_unique<icu::SimpleDateFormat>(pattern, icu::Locale::getRoot(), status);
    }
    return formatter;
}

// Null when ICU cannot make the formatter.
std::shared_ptr<const icu::DateFormat> sharedFormat(const icu::Locale& locale,
                                                    const icu::TimeZone& zone,
                                                    const char* skeleton) {
    const std::string name = locale.getName();
    for (const auto& entry : dateFormats)
        if (entry.locale == name && entry.skeleton == skeleton && *entry.zone == zone)
            return entry.format;
    std::unique_ptr<icu::DateFormat> made(
        *skeleton ? makeSkeletonFormat(locale, skeleton)
                  : std::unique_ptr<icu::DateFormat>(
                        icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, locale)));
    if (!made)
        return nullptr;
    made->setTimeZone(zone);
    if (dateFormats.size() >= keptEntries)
        dateFormats.erase(dateFormats.begin());
    dateFormats.push_back({name, std::unique_ptr<icu::TimeZone>(zone.clone()), skeleton,
                           std::shared_ptr<const icu::DateFormat>(std::move(made))});
    return dateFormats.back().format;
}

LocaleEntry& localeEntry(const icu::Locale& locale) {
    const std::string name = locale.getName();
    for (auto& entry : localeData)
        if (entry.locale == name)
            return entry;
    if (localeData.size() >= keptEntries)
        localeData.erase(localeData.begin());
    return localeData.emplace_back(LocaleEntry{name, nullptr, std::nullopt});
}

} // namespace

RozivFormat::RozivFormat(const QLocale& locale, const DewlightPlatform::Calendar& calendar)
    : locale_(std::make_unique<icu::Locale>(icuLocale(locale))), zone_(calendar.timeZone()) {}

RozivFormat::~RozivFormat() = default;

const icu::DateFormat& RozivFormat::skeletonFormat(std::shared_ptr<const icu::DateFormat>& slot,
                                                   const char* skeleton) const {
    if (!slot)
        slot = sharedFormat(*locale_, *zone_, skeleton);
    return *slot;
}

QString RozivFormat::time(Date date) const {
    return format(skeletonFormat(time_, "jmm"), date);
}

QString RozivFormat::weekdayTime(Date date) const {
    return format(skeletonFormat(weekdayTime_, "EEEjmm"), date);
}

QString RozivFormat::clockText(std::int64_t minuteOfDay) const {
    if (!clock_)
        clock_ = sharedFormat(*locale_, *icu::TimeZone::getGMT(), "");
    if (!clock_)
        return QString::number(minuteOfDay / 60) + u':' +
               QString::number(minuteOfDay % 60).rightJustified(2, u'0');
    // Minutes after 2001-01-01 00:00 GMT, formatted in GMT: a wall-clock time no zone can move.
    return format(*clock_, double(minuteOfDay) * 60.0);
}

QString RozivFormat::weekdayName(std::int64_t day, WeekdayWidth width) const {
    if (day < 1 || day > 7)
        return {};
    auto& symbols = localeEntry(*locale_).symbols;
    if (!symbols) {
        UErrorCode status = U_ZERO_ERROR;
        symbols = std::make_unique<icu::DateFormatSymbols>(*locale_, status);
    }
    int32_t count = 0;
    const icu::UnicodeString* names =
        symbols->getWeekdays(count, icu::DateFormatSymbols::STANDALONE,
                              width == WeekdayWidth::narrow ? icu::DateFormatSymbols::NARROW
                                                            : icu::DateFormatSymbols::WIDE);
    // ICU's list starts at index 1 with Sunday; ours starts with Monday.
    const auto index = int32_t(day % 7 + 1);
    if (names == nullptr || index >= count)
        return {};
    return toQString(names[index]);
}

QString RozivFormat::integer(std::int64_t value) const {
    UErrorCode status = U_ZERO_ERROR;
    auto& numbers = localeEntry(*locale_).numbers;
    if (!numbers)
        numbers = icu::number::NumberFormatter::withLocale(*locale_);
    const auto text = numbers->formatInt(value, status).toString(status);
    if (U_FAILURE(status))
        return QString::number(value);
    return toQString(text);
}

ui::LocalizedText RozivFormat::countText(std::int64_t quarters) const {
    // The model never publishes a negative count; show nothing drunk rather than a broken text.
    quarters = std::max<std::int64_t>(quarters, 0);
    const std::int64_t whole = quarters / 4;
    const std::int64_t rest = quarters % 4;
    if (rest == 0)
        return {QStringLiteral("%lld glasses"), {static_cast<long long>(whole)}};
    static const QString fractions[] = {QString(), QStringLiteral("¼"), QStringLiteral("½"),
                                        QStringLiteral("¾")};
    const QString number = whole == 0 ? QString() : integer(whole);
    return {QStringLiteral("%@ glasses"), {number + fractions[rest]}};
}

ui::LocalizedText RozivFormat::rangeText(std::int64_t lower, std::int64_t upper) {
    if (lower == 1 && upper == 1)
        return {QStringLiteral("A range, not a goal: 1 glass.")};
    return {QStringLiteral("A range, not a goal: %@–%@ glasses."),
            {QString::number(lower), QString::number(upper)}};
}

} // namespace DewlightViews
