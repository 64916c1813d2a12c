// The keyboard of every window, as a user meets it: the keys pressed, what the model received
// and which control then shows focus.
#include "ViewsFixture.h"
#include "kit/panel/FocusRing.h"
#include "kit/windows/FixedWindow.h"
#include "views/MenuView.h"
#include "views/RozivStartupFailure.h"
#include "views/SettingsCard.h"
#include "views/WelcomeView.h"
#include "tests/support/PictureReference.h"

#include <QApplication>
#include <QKeySequence>

using namespace DewlightViews;
using DewlightTest::RecordingViewModel;

namespace {

using A = RozivViewAction;

// What a window shows after the keys: the name of the control drawn with focus (the window's
// indicator or the kit's ring), empty when none is.
QString shownFocus(const ui::Host& host) {
    const bool ring = host.layout()->find(QString::fromLatin1(KestraUI::focusRingId)) != nullptr;
    if (!ring && !host.focusIndicator())
        return {};
    const ui::AccessibleNode* node = host.focusedAccessible();
    return node ? node->label : QStringLiteral("(unnamed)");
}

struct KeyCase {
    const char* name;
    // As a user reads them: "Tab", "Shift+Tab", "Ctrl+W", "Enter" (the keypad's), or "click A
    // glass" for a click on the control of that name.
    std::vector<QString> presses;
    std::vector<A> received;
    QString focus;       // the control shown with focus at the end
    bool closed = false; // the window closed
};

bool sameActions(const std::vector<A>& a, const std::vector<A>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const A& x, const A& y) {
        return x.kind() == y.kind() && x.number() == y.number() && x.isOn() == y.isOn();
    });
}

class KeyboardTest : public ViewsTest {
protected:
    // The view in the window the application gives it: a fixed window closing on Escape and
    // Ctrl+W, or the panel's bare host.
    using View = std::function<ui::Node(RecordingViewModel&)>;
    void run(const char* window, const View& shown, double width, bool fixed,
             const std::vector<KeyCase>& cases, const RozivPanelState& state = {}) {
        for (const KeyCase& c : cases) {
            SCOPED_TRACE(std::string(window) + ": " + c.name);
            RecordingViewModel model(state, plainPreferences());
            const ui::Host::View view = [&] { return shown(model); };
            std::unique_ptr<KestraUI::FixedNativeWindow> frame;
            std::unique_ptr<ui::Host> bare;
            ui::Host* host = nullptr;
            if (fixed) {
                frame = std::make_unique<KestraUI::FixedNativeWindow>(view, keyed(),
                                                                      QSize(int(width), 900));
                frame->closesWithCommandW = true;
                frame->show();
                host = &frame->host();
            } else {
                bare = this->window(view, keyed(), width);
                host = bare.get();
            }
            settle();
            for (const QString& press : c.presses) {
                if (press.startsWith(u"click ")) {
                    const ui::AccessibleNode* node =
                        accessible(host->accessibleNodes(), press.mid(6));
                    ASSERT_NE(node, nullptr) << press.toStdString();
                    click(*host, node->frame.center());
                } else {
                    sendKey(*host, press);
                }
                settle();
            }
            EXPECT_TRUE(sameActions(model.sent, c.received))
                << "received " << model.sent.size() << " actions, first "
                << (model.sent.empty() ? -1 : int(model.sent.front().kind()));
            EXPECT_EQ(shownFocus(*host).toStdString(), c.focus.toStdString());
            if (frame) {
                EXPECT_EQ(!frame->isVisible(), c.closed);
            }
        }
    }

    // Sends the key to the widget that has the keyboard: the focused line edit or the host;
    // what they ignore goes on to the window, as the application's keys do.
    static void sendKey(ui::Host& host, const QString& press) {
        QKeyCombination combination = QKeySequence::fromString(press)[0];
        int key = combination.key();
        Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
        if (key == Qt::Key_Tab && (modifiers & Qt::ShiftModifier))
            key = Qt::Key_Backtab;
        if (key == Qt::Key_Enter)
            modifiers |= Qt::KeypadModifier;
        QWidget* target = host.window()->focusWidget();
        if (!target || !host.window()->isAncestorOf(target))
            target = &host;
        QKeyEvent down(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers);
        QCoreApplication::sendEvent(target, &up);
    }
};

TEST_F(KeyboardTest, ThePanel) {
    // The panel has no default action: Return presses the focused control, as Space does.
    const std::vector<KeyCase> cases = {
        {"Tab shows the focus on the switch", {"Tab"}, {}, "Dewlight"},
        {"Space turns the focused switch", {"Tab", "Space"}, {A::reminders(false)}, "Dewlight"},
        {"Space on a row records", {"Tab", "Tab", "Space"}, {A::drinkGlass()}, "A glass"},
        {"Return on a row records", {"Tab", "Tab", "Return"}, {A::drinkGlass()}, "A glass"},
        {"Enter on a row records", {"Tab", "Tab", "Tab", "Enter"}, {A::drinkSip()}, "A sip"},
        {"Shift+Tab goes back", {"Tab", "Tab", "Shift+Tab"}, {}, "Dewlight"},
        {"Shift+Tab from nothing takes the last", {"Shift+Tab"}, {}, "Quit"},
        {"the rows' keys", {"G", "S", "Ctrl+Z"}, {A::drinkGlass(), A::drinkSip(), A::undo()}, ""},
        {"G with Shift is no key of the panel", {"Shift+G"}, {}, ""},
        {"Ctrl+Comma opens the preferences", {"Ctrl+,"}, {A::openPreferences()}, ""},
        {"a click leaves no focus for Space", {"click A glass", "Space", "Return"},
         {A::drinkGlass()}, ""},
        {"a click hides the focus and Tab goes on from it", {"Tab", "click A glass", "Tab"},
         {A::drinkGlass()}, "A sip"},
        {"the footer in order", {"Shift+Tab", "Shift+Tab", "Shift+Tab"}, {}, "Preferences"},
    };
    auto state = plainState();
    state.undo = RozivUndoState{};
    run("panel", [](RecordingViewModel& model) { return MenuView(model); }, panelWidth, false,
        cases, state);
}

TEST_F(KeyboardTest, TheWelcomeSteps) {
    const std::vector<KeyCase> cases = {
        {"Tab starts at the first control", {"Tab"}, {}, "Start"},
        // Return is the window's default action wherever the focus is: it continues and
        // leaves the focused day as it was.
        {"Return on a day continues", {"Tab", "Tab", "Tab", "Return"}, {}, "Allow notifications"},
        {"Space presses the focused day", {"Tab", "Tab", "Tab", "Space"}, {A::day(1)}, "Monday"},
        {"a chosen day stays and Return continues",
         {"Tab", "Tab", "Tab", "Space", "Return"},
         {A::day(1)},
         "Allow notifications"},
        {"Enter continues too", {"Enter"}, {}, ""},
        {"Space on Continue keeps the focus on the next step",
         {"Shift+Tab", "Space"},
         {},
         "Allow notifications"},
        {"step two: Return completes", {"Return", "Return"}, {A::completeWelcome()}, ""},
        {"Back by the keyboard keeps the focus", {"Return", "Shift+Tab", "Shift+Tab", "Space"},
         {}, "Start"},
        {"Escape closes", {"Escape"}, {}, "", true},
        {"Ctrl+W closes", {"Ctrl+W"}, {}, "", true},
        {"Ctrl+Shift+W does not", {"Ctrl+Shift+W"}, {}, ""},
    };
    run("welcome", [](RecordingViewModel& model) { return WelcomeView(model, 1); }, 560, true,
        cases);
}

TEST_F(KeyboardTest, ThePreferences) {
    // No default action: Return presses the focused control.
    const std::vector<KeyCase> cases = {
        {"Tab rings the first control", {"Tab"}, {}, "Open at Login"},
        {"Space turns it", {"Tab", "Space"}, {A::login(true)}, "Open at Login"},
        {"Return turns it too", {"Tab", "Return"}, {A::login(true)}, "Open at Login"},
        {"Tab goes on to the menus", {"Tab", "Tab"}, {}, "Start"},
        {"Escape closes", {"Tab", "Escape"}, {}, "Open at Login", true},
        {"Ctrl+W closes", {"Ctrl+W"}, {}, "", true},
    };
    run("preferences", [](RecordingViewModel& model) { return SettingsCard(model); }, 560, true,
        cases);
}

TEST_F(KeyboardTest, TheStartupFailureView) {
    int retries = 0;
    const std::vector<KeyCase> cases = {
        {"Tab shows the focus on the button", {"Tab"}, {}, "Try again"},
        {"Return retries", {"Tab", "Return"}, {}, "Try again"},
        {"Space retries", {"Tab", "Space"}, {}, "Try again"},
        {"a click retries and leaves no focus", {"click Try again", "Space"}, {}, ""},
    };
    const int expected[] = {0, 1, 1, 1};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        retries = 0;
        run("failure",
            [&](RecordingViewModel&) { return ui::Node(RozivStartupFailure{[&] { ++retries; }}); },
            panelWidth, false, {cases[i]});
        EXPECT_EQ(retries, expected[i]) << cases[i].name;
    }
}

// The focus as the keyboard user sees it, in both schemes: the window's indicator on a row of
// the panel, the kit's ring on a day of the welcome.
TEST_F(KeyboardTest, FocusPictures) {
    RecordingViewModel model(plainState(), plainPreferences());
    for (const ui::ColorScheme scheme : {ui::ColorScheme::light, ui::ColorScheme::dark}) {
        const QString suffix = scheme == ui::ColorScheme::light ? "light" : "dark";
        auto panel = window([&] { return MenuView(model); }, shipped(scheme));
        for (int i = 0; i < 2; ++i)
            key(*panel, Qt::Key_Tab);
        settle();
        ASSERT_EQ(shownFocus(*panel), "A glass");
        EXPECT_TRUE(DewlightTest::matchesReference(panel->grab().toImage(),
                                                   "views/panel-focus-" + suffix));

        auto welcome = window([&] { return WelcomeView(model, 1); }, shipped(scheme), 560);
        for (int i = 0; i < 3; ++i)
            key(*welcome, Qt::Key_Tab);
        settle();
        ASSERT_EQ(shownFocus(*welcome), "Monday");
        EXPECT_TRUE(DewlightTest::matchesReference(welcome->grab().toImage(),
                                                   "views/welcome-focus-" + suffix));
    }
}

} // namespace
