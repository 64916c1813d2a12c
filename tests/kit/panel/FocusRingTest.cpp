// The kit's focus ring: when it shows, where it lies, and that it takes nothing from its control.
#include "kit/panel/FocusRing.h"

#include "PreferencesFixture.h"
#include "kit/panel/PreferencesRows.h"
#include "kit/brand/BrandPalette.h"
#include "ui/Controls.h"
#include "ui/Render.h"

using namespace KestraUI;

namespace {

class FocusRingTest : public PreferencesTest {
protected:
    // Two switches, each with the preference ring.
    struct Switches {
        bool first = false, second = false;
    };
    static ui::Node switches(Switches& state) {
        auto toggle = [](bool& value, const char* id) {
            return preferencesFocusRing(ui::toggleSwitch(ui::verbatim(QString::fromLatin1(id)),
                                                         value, [&value](bool on) { value = on; }),
                                        ui::Shape::capsule())
                .id(QString::fromLatin1(id));
        };
        return ui::vstack({toggle(state.first, "first"), toggle(state.second, "second")},
                          ui::HorizontalAlignment::center, 20);
    }
    static QRectF ringFrame(const ui::Host& host) {
        const auto found = rings(host);
        return found.size() == 1 ? found.front()->frame : QRectF();
    }
};

TEST_F(FocusRingTest, AClickShowsNoRingUntilAKeyIsPressedAndActivationHidesItAgain) {
    Switches state;
    auto host = makeHost([&] { return inWindow(switches(state)); });
    const QRectF first = frame(*host, u"first");
    const QRectF second = frame(*host, u"second");

    click(*host, first.center()); // flips the first switch and leaves no focus on it
    settle();
    EXPECT_TRUE(state.first);
    EXPECT_TRUE(host->focusedIdentity().isEmpty());
    EXPECT_TRUE(rings(*host).empty());

    key(*host, Qt::Key_Tab); // on from the clicked switch
    settle();
    EXPECT_EQ(ringFrame(*host), second.adjusted(-4, -4, 4, 4));

    // Coming back to the window hides the ring until the next key, whichever key it is.
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(host.get(), &activate);
    settle();
    EXPECT_TRUE(rings(*host).empty());
    key(*host, Qt::Key_Shift);
    settle();
    EXPECT_EQ(ringFrame(*host), second.adjusted(-4, -4, 4, 4));

    // A click hides the ring and leaves no focus behind, until the next Tab.
    click(*host, first.center());
    settle();
    EXPECT_TRUE(rings(*host).empty());
    EXPECT_TRUE(host->focusedIdentity().isEmpty());
}

TEST_F(FocusRingTest, WithTheRingOnAClickAtTheControlsEdgeStillReachesIt) {
    Switches state;
    auto host = makeHost([&] { return inWindow(switches(state)); });
    const QRectF first = frame(*host, u"first");
    key(*host, Qt::Key_Tab);
    settle();
    ASSERT_EQ(rings(*host).size(), 1u);
    const std::size_t before = host->accessibleNodes().size();

    click(*host, QPointF(first.left() + 1, first.center().y()));
    settle();
    EXPECT_TRUE(state.first);
    // The ring adds nothing for assistive technology.
    EXPECT_EQ(host->accessibleNodes().size(), before);
    EXPECT_EQ(host->accessibleNodes().size(), 2u);
}

TEST_F(FocusRingTest, OutsideAWindowThatSetsTheFlagNoRingShows) {
    Switches state;
    auto host = makeHost([&] { return switches(state); });
    key(*host, Qt::Key_Tab);
    key(*host, Qt::Key_Tab);
    settle();
    EXPECT_FALSE(host->focusedIdentity().isEmpty());
    EXPECT_TRUE(rings(*host).empty());
}

TEST_F(FocusRingTest, TheRingIsAOnePointLineFourPointsOutsideAndChangesNoLayout) {
    const ui::Node field = ui::fill(ui::Shape::capsule(), ui::Color::clear()).frame(120, 28);
    const ui::Layout plain = layout(field.id("field"), 200);
    const ui::Layout ringed =
        layout(brandFocusRing(field, true, ui::Shape::capsule()).id("field"), 200);
    EXPECT_EQ(ringed.size(), plain.size());
    const QRectF control = ringed.frame(u"field");
    const auto found = rings(ringed.root());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front()->frame, control.adjusted(-4, -4, 4, 4));
    EXPECT_EQ(found.front()->frame.height(), 36);

    // At twice the scale the line covers exactly the two device rows around its outline.
    const ui::Node padded = brandFocusRing(field, true, ui::Shape::capsule()).padding(8);
    const ui::Environment env = environment();
    const QImage image = ui::render(padded, env, 136, 2);
    const int x = image.width() / 2;
    const int outline = 2 * (8 - 4); // the ring's top edge, in device pixels
    const double ink = BrandPalette::focus.resolve(env).alphaF() * 255;
    EXPECT_NEAR(qAlpha(image.pixel(x, outline - 1)), ink, 3);
    EXPECT_NEAR(qAlpha(image.pixel(x, outline)), ink, 3);
    EXPECT_EQ(qAlpha(image.pixel(x, outline - 2)), 0);
    EXPECT_EQ(qAlpha(image.pixel(x, outline + 1)), 0);

    EXPECT_TRUE(
        rings(layout(brandFocusRing(field, false, ui::Shape::capsule()), 200).root()).empty());
}

} // namespace
