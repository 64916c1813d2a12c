// Every picture snapshot mode promises, made by the built binary as a person would make it, and
// compared with its reference: the panel for each "--snapshot-state" value with and without
// "--snapshot-update", each welcome step and permission state, and the preferences card, in both
// schemes at scale 1, and a set at scale 2.
//
// Nothing of the machine reaches a picture. The fonts are bundled, pixel sized and unhinted. The
// binary runs in an environment made from nothing but the variables below: the locale and the
// time zone are pinned (the demonstration's instant is fixed, so no clock shows), the offscreen
// platform has a fixed DPI and device pixel ratio (QT_SCALE_FACTOR sets the scale-2 set), and no
// desktop's theme, style or font settings are passed on. The views draw without Qt's style and
// size their texts in pixels, so a DPI or a style given on purpose changes nothing either: the
// last test shows that.
#include "tests/support/PictureReference.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Variant {
    std::string name; // the reference's name under tests/pictures/snapshot/
    QStringList arguments;
    int scale = 1;
};

std::vector<Variant> variants() {
    std::vector<Variant> all;
    const char* const states[] = {"",       "denied",    "not-asked",     "off",
                                  "local",  "four-sips", "three-glasses", "above-range",
                                  "failed", "long-range"};
    for (const char* scheme : {"light", "dark"}) {
        const QStringList appearance{"--snapshot-appearance", scheme};
        for (const char* state : states)
            for (const bool update : {false, true}) {
                QStringList arguments = appearance;
                if (*state)
                    arguments << "--snapshot-state" << state;
                if (update)
                    arguments << "--snapshot-update";
                all.push_back({std::string("panel-") + (*state ? state : "demonstration") +
                                   (update ? "-update-" : "-") + scheme,
                               arguments});
            }
        for (const char* state : {"", "denied", "not-asked"})
            for (const char* step : {"1", "2"}) {
                QStringList arguments = appearance;
                arguments << "--snapshot-welcome"
                          << "--snapshot-step" << step;
                if (*state)
                    arguments << "--snapshot-state" << state;
                all.push_back(
                    {std::string("welcome-") + step + (*state ? "-" : "") + state + "-" + scheme,
                     arguments});
            }
        all.push_back({std::string("preferences-") + scheme,
                       appearance + QStringList{"--snapshot-preferences"}});
        // At scale 2, the windows' views: the panel is drawn at twice its size already.
        for (const char* step : {"1", "2"})
            all.push_back({std::string("welcome-") + step + "-" + scheme + "@2x",
                           appearance + QStringList{"--snapshot-welcome", "--snapshot-step", step},
                           2});
        all.push_back({std::string("preferences-") + scheme + "@2x",
                       appearance + QStringList{"--snapshot-preferences"}, 2});
    }
    return all;
}

// The picture the binary writes for the variant, with `extra` added to its environment.
QImage snapshot(const Variant& variant, const QProcessEnvironment& extra = {}) {
    QTemporaryDir folder;
    const QString home = folder.filePath("home"), picture = folder.filePath("snapshot.png");
    QDir().mkpath(home + "/runtime");
    QFile::setPermissions(home + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env;
    for (const char* name :
         {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"})
        env.insert(name, home + "/" + name);
    env.insert("XDG_RUNTIME_DIR", home + "/runtime");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // New York's times and US English numbers, as the views' own tests have them.
    env.insert("LC_ALL", "en_US.UTF-8");
    env.insert("TZ", "America/New_York");
    env.insert("QT_SCALE_FACTOR", QString::number(variant.scale));
    // A sanitizer build's settings go on to the binary it built.
    const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (own.contains(name))
            env.insert(name, own.value(name));
    env.insert(extra);
    QProcess run;
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.start(DEWLIGHT_BINARY, variant.arguments + QStringList{"--snapshot-file", picture});
    if (!run.waitForFinished(60'000) || run.exitStatus() != QProcess::NormalExit ||
        run.exitCode() != 0) {
        ADD_FAILURE() << "the snapshot " << variant.arguments.join(' ').toStdString()
                      << " ended with " << run.exitCode();
        return {};
    }
    return QImage(picture);
}

void PrintTo(const Variant& variant, std::ostream* out) {
    *out << variant.name;
}

class SnapshotPictures : public testing::TestWithParam<Variant> {};

TEST_P(SnapshotPictures, MatchTheirReference) {
    const Variant& variant = GetParam();
    EXPECT_TRUE(DewlightTest::matchesReference(
        snapshot(variant), QStringLiteral("snapshot/") + QString::fromStdString(variant.name)));
}

INSTANTIATE_TEST_SUITE_P(Every, SnapshotPictures, testing::ValuesIn(variants()),
                         [](const testing::TestParamInfo<Variant>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// A desktop's DPI, style, theme and font scaling reach no picture.
TEST(SnapshotPicturesOfTheDesktop, IgnoreItsDpiStyleAndTheme) {
    if (qEnvironmentVariable("DEWLIGHT_UPDATE_PICTURES") == u"1")
        GTEST_SKIP() << "compares with the references, which are being made";
    QProcessEnvironment desktop;
    desktop.insert("QT_FONT_DPI", "144");
    desktop.insert("QT_STYLE_OVERRIDE", "windows");
    desktop.insert("QT_QPA_PLATFORMTHEME", "xdgdesktopportal");
    desktop.insert("XDG_CURRENT_DESKTOP", "KDE");
    desktop.insert("QT_ENABLE_HIGHDPI_SCALING", "0");
    for (const Variant& variant :
         {Variant{"panel-demonstration-light", {"--snapshot-appearance", "light"}},
          Variant{"preferences-dark", {"--snapshot-appearance", "dark", "--snapshot-preferences"}},
          Variant{
              "welcome-2-dark",
              {"--snapshot-appearance", "dark", "--snapshot-welcome", "--snapshot-step", "2"}}}) {
        SCOPED_TRACE(variant.name);
        EXPECT_TRUE(DewlightTest::matchesReference(snapshot(variant, desktop),
                                                   QStringLiteral("snapshot/") +
                                                       QString::fromStdString(variant.name)));
    }
}

} // namespace
