#include "platform/desktop/DesktopFont.h"
#include "platform/desktop/DesktopLocale.h"
#include "platform/desktop/PortalColorScheme.h"

#include <QDBusVariant>
#include <gtest/gtest.h>
#include <map>

namespace {

using DewlightPlatform::DesktopScheme;

TEST(DesktopSchemeTest, ThePortalDecidesAndThePaletteStandsInWithoutAPreference) {
    const QPalette light(QColor(240, 240, 240));
    const QPalette dark(QColor(40, 40, 40));
    struct Case {
        std::optional<quint32> portal;
        const QPalette& palette;
        DesktopScheme expected;
    };
    const Case cases[] = {
        {1u, light, DesktopScheme::dark},
        {2u, dark, DesktopScheme::light},
        {0u, dark, DesktopScheme::dark}, // no preference
        {0u, light, DesktopScheme::light},
        {std::nullopt, dark, DesktopScheme::dark}, // no portal
        {7u, light, DesktopScheme::light},         // a value of a later version
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.portal ? int(*c.portal) : -1);
        EXPECT_EQ(DewlightPlatform::resolveScheme(c.portal, c.palette), c.expected);
    }
}

TEST(DesktopSchemeTest, ThePortalsNumberIsFoundInsideItsVariants) {
    using DewlightPlatform::portalNumber;
    // Read answers a variant inside a variant; SettingChanged and ReadOne answer one.
    const QVariant once = QVariant::fromValue(QDBusVariant(QVariant::fromValue(quint32(1))));
    const QVariant twice = QVariant::fromValue(QDBusVariant(once));
    EXPECT_EQ(portalNumber(once), 1u);
    EXPECT_EQ(portalNumber(twice), 1u);
    EXPECT_EQ(portalNumber(QVariant::fromValue(quint32(2))), 2u);
    EXPECT_EQ(portalNumber(QVariant(QStringLiteral("1"))), std::nullopt);
    EXPECT_EQ(portalNumber(QVariant()), std::nullopt);
}

TEST(DesktopLocaleTest, TheEnvironmentsLocaleButNeverC) {
    struct Case {
        std::map<std::string, std::string> environment;
        const char* expected;
    };
    const Case cases[] = {
        {{{"LANG", "de_DE.UTF-8"}}, "de_DE"},
        {{{"LANG", "de_DE.UTF-8"}, {"LC_TIME", "fr_FR.UTF-8"}}, "fr_FR"},
        {{{"LC_ALL", "en_GB.UTF-8"}, {"LC_TIME", "fr_FR"}, {"LANG", "de_DE"}}, "en_GB"},
        {{{"LC_ALL", ""}, {"LANG", "sv_SE.utf8@euro"}}, "sv_SE"}, // empty counts as unset
        {{{"LC_ALL", "C.UTF-8"}, {"LANG", "de_DE"}}, "en_US"},
        {{{"LANG", "POSIX"}}, "en_US"},
        {{{"LANG", "C"}}, "en_US"},
        {{}, "en_US"},
        {{{"LANG", "xx_YY"}}, "en_US"}, // unknown to Qt
    };
    for (const Case& c : cases) {
        const QLocale locale = DewlightPlatform::desktopLocale(
            [&](const char* name) -> std::optional<std::string> {
                const auto found = c.environment.find(name);
                if (found == c.environment.end())
                    return std::nullopt;
                return found->second;
            });
        EXPECT_EQ(locale.name().toStdString(), c.expected) << c.expected;
    }
}

TEST(DesktopFontTest, OnlyASizeTheDesktopSetCounts) {
    EXPECT_EQ(DewlightPlatform::desktopFontPointSize(QFont(QStringLiteral("Cantarell"), 11)), 11.0);
    QFont pixels(QStringLiteral("Noto Sans"));
    pixels.setPixelSize(14);
    EXPECT_EQ(DewlightPlatform::desktopFontPointSize(pixels), std::nullopt);
    EXPECT_EQ(DewlightPlatform::desktopFontPointSize(QFont(QStringLiteral("Sans Serif"), 9)),
              std::nullopt); // Qt's own stand-in
}

} // namespace
