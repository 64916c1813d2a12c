#include "platform/calendar/Calendar.h"
#include "ui/Localization.h"
#include "views/RozivFormat.h"
#include "views/RozivPanelTexts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

using namespace DewlightViews;
using DewlightPlatform::Calendar;

namespace {

// ICU puts a narrow no-break space before the day-period marker.
const QString nnbsp = QString(QChar(0x202F));

constexpr Date friday1405Utc = 814457100; // 2026-10-23 14:05 UTC, a Friday

QString localized(const ui::LocalizedText& text) {
    static const auto english = ui::shippedLocalizer(QLocale("en_US"));
    return text.localized(english);
}

TEST(RozivFormat, TimesInTheZonePassedIn) {
    struct Case {
        const char* locale;
        const char* zone;
        QString time;
        QString weekdayTime;
    };
    const Case cases[] = {
        {"en_US", "UTC", "2:05" + nnbsp + "PM", "Fri 2:05" + nnbsp + "PM"},
        {"de_DE", "UTC", "14:05", "Fr., 14:05"},
        {"en_US", "Asia/Tokyo", "11:05" + nnbsp + "PM", "Fri 11:05" + nnbsp + "PM"},
        // The same instant is still Friday morning on the American west coast.
        {"en_US", "America/Los_Angeles", "7:05" + nnbsp + "AM", "Fri 7:05" + nnbsp + "AM"},
        {"en_GB", "UTC", "14:05", "Fri 14:05"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.zone);
        const RozivFormat format(QLocale(c.locale), Calendar::gregorian(c.zone));
        EXPECT_EQ(format.time(friday1405Utc), c.time);
        EXPECT_EQ(format.weekdayTime(friday1405Utc), c.weekdayTime);
    }
}

// A host zone that the time-zone database does not name, such as a zone file of the user's own
// in TZ: times still show in it, not in GMT, which the zone's name alone would give.
TEST(RozivFormat, TimesInAHostZoneWithoutADatabaseName) {
    const auto hasDigit = [](const QString& path) {
        return std::any_of(path.begin(), path.end(), [](QChar c) { return c.isDigit(); });
    };
    // ICU reads TZ as a path only when it holds no digit.
    std::unique_ptr<QTemporaryDir> folder;
    for (int draw = 0; draw < 100 && (!folder || hasDigit(folder->path())); ++draw)
        folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/format-zone-XXXXXX");
    ASSERT_FALSE(hasDigit(folder->path()));
    // A zone file with one local time type: 5 h 30 min ahead of UTC, and no transitions.
    QByteArray zone("TZif");
    zone.append(16, '\0');
    for (const quint32 value : {0u, 0u, 0u, 0u, 1u, 4u, 19800u})
        for (int shift = 24; shift >= 0; shift -= 8)
            zone.append(char((value >> shift) & 0xff));
    zone.append("\0\0TST\0", 6);
    QFile file(folder->filePath("local"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(zone);
    file.close();

    const QByteArray saved = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    qputenv("TZ", ":" + file.fileName().toUtf8());
    const Calendar host = Calendar::current();
    if (hadZone)
        qputenv("TZ", saved);
    else
        qunsetenv("TZ");

    const RozivFormat format(QLocale("en_GB"), host);
    EXPECT_EQ(format.time(friday1405Utc), "19:35");
    EXPECT_EQ(format.weekdayTime(friday1405Utc), "Fri 19:35");
}

TEST(RozivFormat, ClockTextIgnoresEveryZone) {
    struct Case {
        const char* locale;
        std::int64_t minute;
        QString text;
    };
    const Case cases[] = {
        {"en_US", 540, "9:00" + nnbsp + "AM"},
        {"de_DE", 540, "09:00"},
        {"en_US", 0, "12:00" + nnbsp + "AM"},
        {"en_US", 780, "1:00" + nnbsp + "PM"},
        {"de_DE", 1410, "23:30"},
        {"en_US", 1410, "11:30" + nnbsp + "PM"},
    };
    // Zones far from GMT either way, and with odd offsets: none may move a wall-clock text.
    for (const char* zone : {"UTC", "Asia/Kathmandu", "America/St_Johns", "Pacific/Kiritimati"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.locale) + " " + zone + " " + std::to_string(c.minute));
            const RozivFormat format(QLocale(c.locale), Calendar::gregorian(zone));
            EXPECT_EQ(format.clockText(c.minute), c.text);
        }
    }
}

TEST(RozivFormat, StandaloneWeekdayNamesFromMonday) {
    const RozivFormat english(QLocale("en_US"), Calendar::utc());
    const RozivFormat german(QLocale("de_DE"), Calendar::utc());
    using W = RozivFormat::WeekdayWidth;
    EXPECT_EQ(english.weekdayName(1, W::narrow), "M");
    EXPECT_EQ(english.weekdayName(1, W::wide), "Monday");
    EXPECT_EQ(english.weekdayName(6, W::wide), "Saturday");
    EXPECT_EQ(english.weekdayName(7, W::narrow), "S");
    EXPECT_EQ(english.weekdayName(7, W::wide), "Sunday");
    EXPECT_EQ(german.weekdayName(3, W::wide), "Mittwoch");
    EXPECT_EQ(german.weekdayName(4, W::narrow), "D");
    for (std::int64_t outside : {0, 8, -1}) {
        EXPECT_TRUE(english.weekdayName(outside, W::narrow).isEmpty()) << outside;
    }
}

TEST(RozivFormat, IntegersGroupedAsTheLocaleDoes) {
    EXPECT_EQ(RozivFormat(QLocale("en_US"), Calendar::utc()).integer(12345), "12,345");
    EXPECT_EQ(RozivFormat(QLocale("de_DE"), Calendar::utc()).integer(12345), "12.345");
    EXPECT_EQ(RozivFormat(QLocale("en_US"), Calendar::utc()).integer(-7), "-7");
    EXPECT_EQ(RozivFormat(QLocale::c(), Calendar::utc()).integer(5), "5");
}

TEST(RozivFormat, CountInQuarterGlasses) {
    const RozivFormat format(QLocale("en_US"), Calendar::utc());
    struct Case {
        std::int64_t quarters;
        QString text;
    };
    const Case cases[] = {
        {0, "0 glasses"},       {1, "¼ glass"}, // no leading zero
        {2, "½ glass"},         {3, "¾ glass"},   {4, "1 glass"},           {5, "1¼ glasses"},
        {7, "1¾ glasses"},      {8, "2 glasses"}, {4003, "1,000¾ glasses"}, // the whole part is
                                                                            // grouped
        {4000, "1000 glasses"}, // "%lld" is plain digits
        {-1, "0 glasses"},      // never a broken text for a count the model should not send
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quarters);
        EXPECT_EQ(localized(format.countText(c.quarters)), c.text);
    }
    EXPECT_EQ(format.countText(7), (ui::LocalizedText{"%@ glasses", {QStringLiteral("1¾")}}));
    EXPECT_EQ(format.countText(4), (ui::LocalizedText{"%lld glasses", {1LL}}));
}

TEST(RozivFormat, RangeTextWithPlainDigits) {
    struct Case {
        std::int64_t lower, upper;
        QString text;
    };
    const Case cases[] = {
        {1, 1, "A range, not a goal: 1 glass."},
        {3, 5, "A range, not a goal: 3–5 glasses."},
        {2, 2, "A range, not a goal: 2–2 glasses."},
        {1, 2, "A range, not a goal: 1–2 glasses."},
        {1000, 1250, "A range, not a goal: 1000–1250 glasses."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lower);
        EXPECT_EQ(localized(RozivFormat::rangeText(c.lower, c.upper)), c.text);
    }
}

TEST(PanelTexts, StatusLineByCase) {
    const RozivFormat format(QLocale("en_US"), Calendar::utc());
    struct Case {
        RozivPanelStatus status;
        QString text;
    };
    const Case cases[] = {
        {RozivPanelStatus::scheduled(friday1405Utc), "Next reminder at 2:05" + nnbsp + "PM"},
        {RozivPanelStatus::snoozed(friday1405Utc), "Snoozed until 2:05" + nnbsp + "PM"},
        {RozivPanelStatus::outside(friday1405Utc), "Next workday: Fri 2:05" + nnbsp + "PM"},
        {RozivPanelStatus::preparing(), "Preparing reminders…"},
        {RozivPanelStatus::off(), "Off: no reminders, counting goes on"},
        {RozivPanelStatus::enough(), "That is enough for today"},
        {RozivPanelStatus::permission(), "Notifications are off"},
        {RozivPanelStatus::failed(), "Reminders need attention"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.status.kind()));
        EXPECT_EQ(localized(statusLine(c.status, format)), c.text);
    }
    EXPECT_EQ(statusLine(RozivPanelStatus::scheduled(friday1405Utc), format).key,
              "Next reminder at %@");
}

TEST(PanelTexts, UndoTitleCountsTheGroup) {
    const RozivFormat format(QLocale("en_US"), Calendar::utc());
    const auto english = ui::shippedLocalizer(QLocale("en_US"));
    using Drink = RozivUndoState::Drink;
    EXPECT_EQ(localized(undoTitle(std::nullopt, format, english)), "No entry to undo");
    EXPECT_EQ(localized(undoTitle(RozivUndoState{Drink::sip, 3, friday1405Utc}, format, english)),
              "Undo 3 sips from 2:05" + nnbsp + "PM");
    EXPECT_EQ(localized(undoTitle(RozivUndoState{Drink::glass, 1, friday1405Utc}, format, english)),
              "Undo 1 glass from 2:05" + nnbsp + "PM");
}

} // namespace
