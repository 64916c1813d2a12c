// Where windows go, over made-up screens: fitting a fixed window to its content, and choosing
// the screen to centre on.
#include "kit/windows/WindowGeometry.h"

#include <gtest/gtest.h>
#include <vector>

using namespace KestraUI::WindowGeometry;

namespace {

const QMargins noDecorations;
// A title bar and thin borders, as a window manager draws them outside the client area.
const QMargins titled{1, 30, 1, 1};

TEST(WindowGeometryTest, FittingRaisesCapsAndKeepsTheAnchoredEdge) {
    const QRect screen(0, 0, 1600, 900);
    const struct {
        const char* what;
        QSizeF content;
        QRect current;
        QMargins decorations;
        bool anchorsTop;
        Fit expected;
    } cases[] = {
        {"the height goes up to the next multiple of 4", {500, 301}, {500, 100, 500, 200},
         noDecorations, true, {{500, 100, 500, 304}, {500, 304}}},
        {"a multiple of 4 stays", {500, 304}, {500, 100, 500, 304}, noDecorations, true,
         {{500, 100, 500, 304}, {500, 304}}},
        {"too tall: the screen less its margin", {560, 2000}, {520, 30, 560, 480}, noDecorations,
         true, {{520, 30, 560, 836}, {560, 836}}},
        // 836 of content and a 31-high frame still fit in 900.
        {"too tall with a title bar", {560, 2000}, {520, 30, 562, 511}, titled, true,
         {{520, 30, 562, 867}, {560, 836}}},
        {"top-anchored growth keeps the top edge", {560, 600}, {520, 100, 560, 400},
         noDecorations, true, {{520, 100, 560, 600}, {560, 600}}},
        {"centred growth spreads up and down", {560, 600}, {520, 200, 560, 400}, noDecorations,
         false, {{520, 100, 560, 600}, {560, 600}}},
        {"a top edge low on the screen moves up to keep the frame inside", {560, 600},
         {520, 700, 560, 100}, noDecorations, true, {{520, 300, 560, 600}, {560, 600}}},
        {"the horizontal centre stays", {300, 100}, {500, 100, 560, 100}, noDecorations, true,
         {{630, 100, 300, 100}, {300, 100}}},
        {"a frame off the left edge comes back", {560, 100}, {-300, 100, 560, 100},
         noDecorations, true, {{0, 100, 560, 100}, {560, 100}}},
        {"wider than the screen: as wide as the screen", {2000, 100}, {0, 0, 560, 100},
         noDecorations, true, {{0, 0, 1600, 100}, {1600, 100}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(fit(c.content, c.current, c.decorations, screen, c.anchorsTop), c.expected);
    }
}

TEST(WindowGeometryTest, TheFrameAlwaysLiesInsideTheAvailableArea) {
    // A second screen to the right, with a panel along its top; and one so short that the
    // margin would leave nothing.
    const std::vector<QRect> areas = {{0, 0, 1280, 800}, {1280, 32, 1920, 1048}, {0, 0, 800, 50}};
    const std::vector<QRect> frames = {{-500, -500, 560, 480}, {1000, 700, 560, 480},
                                       {3000, 1200, 768, 300}, {100, 10, 560, 40}};
    for (const QRect& area : areas)
        for (const QRect& current : frames)
            for (const bool anchorsTop : {true, false})
                for (const QSizeF content :
                     {QSizeF(560, 10), QSizeF(560, 799), QSizeF(768, 5000), QSizeF(3000, 3000)})
                    for (const QMargins& decorations : {noDecorations, titled}) {
                        const Fit fitted = fit(content, current, decorations, area, anchorsTop);
                        SCOPED_TRACE(testing::Message()
                                     << "area " << area.x() << "," << area.y() << " "
                                     << area.width() << "x" << area.height() << ", frame "
                                     << current.x() << "," << current.y() << ", content "
                                     << content.width() << "x" << content.height());
                        EXPECT_TRUE(area.contains(fitted.frame));
                        EXPECT_GE(fitted.client.height(), 1);
                    }
}

TEST(WindowGeometryTest, ScreensAreChosenByPointerAndBySharpness) {
    const std::vector<ScreenArea> screens = {{{0, 0, 1280, 800}, {0, 0, 1280, 770}, 1},
                                             {{1280, 0, 1920, 1080}, {1280, 0, 1920, 1080}, 2},
                                             {{3200, 0, 1920, 1080}, {3200, 0, 1920, 1080}, 2}};
    EXPECT_EQ(screenUnder({1500, 500}, screens, 0), 1u);
    EXPECT_EQ(screenUnder({10, 10}, screens, 1), 0u);
    EXPECT_EQ(screenUnder({-50, -50}, screens, 2), 2u) << "on no screen: the primary";
    EXPECT_EQ(screenUnder({-50, -50}, {}, std::nullopt), std::nullopt);
    EXPECT_EQ(screenUnder({-50, -50}, screens, 7), std::nullopt) << "a primary that is gone";

    EXPECT_EQ(sharpestScreen(screens), 1u) << "of two equally sharp, the first listed";
    EXPECT_EQ(sharpestScreen(std::span(screens).first(1)), 0u);
    EXPECT_EQ(sharpestScreen({}), std::nullopt);

    EXPECT_EQ(centredOrigin({0, 0, 1280, 770}, {560, 480}), QPoint(360, 145));
    // Halves round away from zero.
    EXPECT_EQ(centredOrigin({0, 0, 1281, 771}, {560, 480}), QPoint(361, 146));
    EXPECT_EQ(centredOrigin({-1281, 0, 1280, 771}, {561, 480}), QPoint(-922, 146));
}

} // namespace
