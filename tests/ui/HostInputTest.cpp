// Mouse, hover, keyboard focus, shortcuts, wheel and tooltips routed to the tree.
#include "HostFixture.h"
#include "ui/Controls.h"

#include <QToolTip>
#include <QWheelEvent>

using namespace ui;

namespace {

// A 32 × 32 plain button whose hit shape is its circle, as the panel's footer buttons are.
Node circleButton(QString id, std::function<void()> action) {
    return button(fill(Shape::circle(), Color::primary().opacity(0.06))
                      .frame(32, 32)
                      .contentShape(Shape::circle()),
                  std::move(action))
        .buttonStyle(ButtonStyle::plain)
        .id(std::move(id));
}

TEST_F(HostTest, ClicksFollowTheHitShapeAndSkipDisabledControls) {
    int fired = 0, disabledFired = 0;
    auto host = makeHost([&] {
        return vstack({circleButton("round", [&] { ++fired; }),
                       circleButton("off", [&] { ++disabledFired; }).disabled()});
    });
    const QRectF round = frame(*host, u"round");
    ASSERT_EQ(round.size(), QSizeF(32, 32));

    click(*host, round.topLeft() + QPointF(2, 2)); // the corner, outside the circle
    EXPECT_EQ(fired, 0);
    click(*host, round.center());
    EXPECT_EQ(fired, 1);
    // A press that ends outside the control is cancelled.
    press(*host, round.center());
    release(*host, round.topLeft() + QPointF(-20, -2));
    EXPECT_EQ(fired, 1);

    click(*host, centre(*host, u"off"));
    EXPECT_EQ(disabledFired, 0);
}

TEST_F(HostTest, AControlOverATappableBackgroundTakesTheClick) {
    int card = 0, inner = 0;
    auto host = makeHost([&] {
        return button(verbatim("Inner"), [&] { ++inner; })
            .id("inner")
            .padding(20)
            .background(fill(Shape::rectangle(), Color::black()).onTap([&] { ++card; }));
    });
    click(*host, centre(*host, u"inner"));
    click(*host, frame(*host, u"inner").topLeft() - QPointF(10, 10));
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(card, 1);
}

TEST_F(HostTest, HoverEntersAndLeavesOnceEach) {
    std::vector<bool> reports;
    auto host = makeHost([&] {
        return fill(Shape::rectangle(), Color::black())
            .frame(60, 40)
            .onHover([&](bool on) { reports.push_back(on); })
            .id("row");
    });
    const QRectF row = frame(*host, u"row");
    move(*host, row.center());
    move(*host, row.center() + QPointF(5, 5));
    move(*host, row.bottomRight() + QPointF(20, 20));
    move(*host, row.bottomRight() + QPointF(30, 20));
    EXPECT_EQ(reports, (std::vector<bool>{true, false}));
    move(*host, row.center());
    leave(*host);
    EXPECT_EQ(reports, (std::vector<bool>{true, false, true, false}));
}

TEST_F(HostTest, TabAndShiftTabWalkFocusStopsInTreeOrder) {
    auto host = makeHost([&] {
        return vstack({button(verbatim("One"), [] {}).id("one"),
                       hstack({toggleSwitch(verbatim("Two"), false, [](bool) {}).id("two"),
                               button(verbatim("Skipped"), [] {}).disabled(),
                               fill(Shape::rectangle(), Color::black()).frame(10, 10)}),
                       button(verbatim("Three"), [] {}).id("three")});
    });
    std::vector<QString> walk;
    auto focusedExplicit = [&] {
        // The focus stop sits just inside the node carrying the id.
        for (QStringView id : {u"one", u"two", u"three"})
            if (host->focusedIdentity().startsWith(host->layout()->find(id)->identity))
                return id.toString();
        return QString();
    };
    for (int i = 0; i < 4; ++i) {
        key(*host, Qt::Key_Tab);
        walk.push_back(focusedExplicit());
    }
    key(*host, Qt::Key_Backtab, Qt::ShiftModifier);
    walk.push_back(focusedExplicit());
    key(*host, Qt::Key_Backtab, Qt::ShiftModifier);
    walk.push_back(focusedExplicit());
    EXPECT_EQ(walk, (std::vector<QString>{"one", "two", "three", "one", "three", "two"}));
    EXPECT_TRUE(host->keyboardUsed());
}

// A clicked button keeps no focus for a later Space or Return, and the click hides the focus
// indicator; Tab goes on from the clicked button. A text field keeps the focus a click gives.
TEST_F(HostTest, AClickLeavesNoHiddenFocusAndTabGoesOnFromTheClickedControl) {
    int ones = 0, twos = 0;
    auto host = makeHost([&] {
        return vstack({button(verbatim("One"), [&] { ++ones; }).id("one"),
                       button(verbatim("Two"), [&] { ++twos; }).id("two"),
                       textField("", [](const QString&) {}).id("field")});
    });
    auto focusedIs = [&](QStringView id) {
        return !host->focusedIdentity().isEmpty() &&
               host->focusedIdentity().startsWith(host->layout()->find(id)->identity);
    };
    key(*host, Qt::Key_Tab);
    ASSERT_TRUE(focusedIs(u"one"));
    ASSERT_TRUE(host->focusIndicator());
    click(*host, centre(*host, u"two"));
    EXPECT_EQ(twos, 1);
    EXPECT_TRUE(host->focusedIdentity().isEmpty());
    EXPECT_FALSE(host->keyboardUsed());
    EXPECT_FALSE(host->focusIndicator());
    key(*host, Qt::Key_Space);
    key(*host, Qt::Key_Return);
    EXPECT_EQ(ones, 0);
    EXPECT_EQ(twos, 1);
    // Space marked the keyboard used but nothing is focused: still nothing to draw.
    EXPECT_FALSE(host->focusIndicator());
    click(*host, centre(*host, u"two"));
    key(*host, Qt::Key_Tab);
    EXPECT_TRUE(focusedIs(u"field"));

    click(*host, centre(*host, u"field"));
    EXPECT_TRUE(focusedIs(u"field"));
}

TEST_F(HostTest, KeysMarkTheKeyboardUsedUntilTheWindowIsActivatedAgain) {
    bool window = false, panel = true;
    auto host = makeHost([&] {
        return vstack({withEnvironment([&](const Environment& env) {
                           window = env.keyboardUsed;
                           return button(verbatim("One"), [] {});
                       }),
                       withEnvironment([&](const Environment& env) {
                           panel = env.keyboardUsed;
                           return button(verbatim("Two"), [] {});
                       }).ignoresKeyboardUse()});
    });
    EXPECT_FALSE(window);
    key(*host, Qt::Key_Tab);
    EXPECT_TRUE(window);
    EXPECT_FALSE(panel);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(host.get(), &activate);
    EXPECT_FALSE(window);
    EXPECT_FALSE(host->keyboardUsed());
    key(*host, Qt::Key_A);
    EXPECT_TRUE(window);
    EXPECT_FALSE(panel);
}

// The model of a switch whose owner may refuse a change: the switch shows only what it holds.
struct SwitchModel {
    bool on = false;
    bool refuses = false;
    int sent = 0;
    void send(bool value) {
        ++sent;
        if (!refuses)
            on = value;
    }
};

TEST_F(HostTest, SpaceSendsTheFocusedSwitchActionOnceAndItShowsOnlyThePublishedValue) {
    SwitchModel model;
    ui::Host* raw = nullptr;
    auto host = makeHost([&] {
        return toggleSwitch(verbatim("Reminders"), model.on,
                            [&](bool value) {
                                model.send(value);
                                raw->invalidate(); // the model publishes a new state
                            })
            .id("switch");
    });
    raw = host.get();
    auto shown = [&] { return host->accessibleNodes().front().checked.value_or(false); };
    key(*host, Qt::Key_Tab);
    key(*host, Qt::Key_Space);
    settle();
    EXPECT_EQ(model.sent, 1);
    EXPECT_TRUE(shown());

    model.refuses = true;
    click(*host, centre(*host, u"switch"));
    settle();
    EXPECT_EQ(model.sent, 2);
    EXPECT_TRUE(shown()); // refused: still the old value
    key(*host, Qt::Key_Tab); // the click left no focus; Tab comes back to the switch
    key(*host, Qt::Key_Return); // no default action in this window: Return presses it
    settle();
    EXPECT_EQ(model.sent, 3);
    EXPECT_TRUE(shown());
}

struct ShortcutCase {
    const char* name;
    bool present;
    bool enabled;
    QKeyCombination pressed;
    int fired;
};

TEST_F(HostTest, AShortcutWorksOnlyWhileItsButtonIsInTheTreeAndEnabled) {
    const QKeyCombination ctrlComma(Qt::ControlModifier, Qt::Key_Comma);
    const ShortcutCase cases[] = {
        {"present and enabled", true, true, ctrlComma, 1},
        {"other modifiers", true, true,
         QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Comma), 0},
        {"no modifier", true, true, QKeyCombination(Qt::Key_Comma), 0},
        {"disabled", true, false, ctrlComma, 0},
        {"absent", false, true, ctrlComma, 0},
    };
    for (const ShortcutCase& c : cases) {
        int fired = 0;
        auto host = makeHost([&] {
            std::vector<Node> children{verbatim("Panel")};
            if (c.present)
                children.push_back(button(verbatim("Preferences"), [&] { ++fired; })
                                       .keyboardShortcut(ctrlComma)
                                       .disabled(!c.enabled));
            return vstack(children);
        });
        key(*host, c.pressed.key(), c.pressed.keyboardModifiers());
        EXPECT_EQ(fired, c.fired) << c.name;
    }
}

// Return and Enter run the default action wherever the focus is; a disabled default keeps the
// key and does nothing, so the focused control is not pressed instead.
TEST_F(HostTest, ReturnRunsTheDefaultActionBeforeTheFocusedControl) {
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled);
        int days = 0, continued = 0;
        auto host = makeHost([&] {
            return vstack({button(verbatim("Monday"), [&] { ++days; }),
                           button(verbatim("Continue"), [&] { ++continued; })
                               .keyboardShortcut(QKeyCombination(Qt::Key_Return))
                               .disabled(!enabled)});
        });
        key(*host, Qt::Key_Tab); // Monday
        key(*host, Qt::Key_Return);
        key(*host, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(continued, enabled ? 2 : 0);
        EXPECT_EQ(days, 0);
        key(*host, Qt::Key_Space);
        EXPECT_EQ(days, 1);
    }
}

TEST_F(HostTest, PlainKeyShortcutsFireTheirRow) {
    int glasses = 0;
    auto host = makeHost([&] {
        return button(verbatim("A glass"), [&] { ++glasses; })
            .keyboardShortcut(QKeyCombination(Qt::Key_G));
    });
    key(*host, Qt::Key_G);
    key(*host, Qt::Key_G, Qt::ShiftModifier);
    EXPECT_EQ(glasses, 1);
}

TEST_F(HostTest, TheWheelScrollsWithinTheContentAndTheOffsetSurvivesRebuilds) {
    int revision = 0;
    std::vector<bool> scrolled;
    auto host = makeHost(
        [&] {
            std::vector<Node> rows;
            for (int i = 0; i < 10; ++i)
                rows.push_back(fill(Shape::rectangle(), Color::black()).frame(100, 40));
            return vstack({verbatim(QString::number(revision)),
                           scrollView(vstack(rows, HorizontalAlignment::center, 0).id("content"),
                                      Axis::vertical, [&](bool away) { scrolled.push_back(away); })
                               .frame(100, 100)
                               .id("scroll")});
        },
        {200, 300});
    const double top = frame(*host, u"scroll").top();
    auto wheel = [&](int notches) {
        const QPointF at = centre(*host, u"scroll");
        QWheelEvent event(at, host->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(host.get(), &event);
    };
    EXPECT_TRUE(scrolled.empty()); // at the top from the start: nothing to tell
    wheel(-1);
    EXPECT_DOUBLE_EQ(frame(*host, u"content").top(), top - 60);
    EXPECT_EQ(scrolled, std::vector<bool>{true});
    ++revision;
    host->rebuild();
    EXPECT_DOUBLE_EQ(frame(*host, u"content").top(), top - 60);
    wheel(-10); // 400 of content in a 100 window: at most 300
    EXPECT_DOUBLE_EQ(frame(*host, u"content").top(), top - 300);
    EXPECT_EQ(scrolled, std::vector<bool>{true}); // still away: told once
    wheel(10);
    EXPECT_DOUBLE_EQ(frame(*host, u"content").top(), top);
    EXPECT_EQ(scrolled, (std::vector<bool>{true, false}));
}

TEST_F(HostTest, TooltipsShowTheTextOfTheNodeUnderThePointer) {
    auto host = makeHost([&] {
        return hstack(
            {fill(Shape::rectangle(), Color::black()).frame(40, 40).help("Quit").id("quit"),
             fill(Shape::rectangle(), Color::black()).frame(40, 40).id("bare")});
    });
    auto ask = [&](QPointF at) {
        QHelpEvent event(QEvent::ToolTip, at.toPoint(), host->mapToGlobal(at.toPoint()));
        QCoreApplication::sendEvent(host.get(), &event);
    };
    ask(centre(*host, u"bare"));
    EXPECT_TRUE(QToolTip::text().isEmpty());
    ask(centre(*host, u"quit"));
    EXPECT_EQ(QToolTip::text(), "Quit");
}

} // namespace
