// The settings card: the menus' options, what each control sends, how it follows the published
// preferences, and the erase confirmation.
#include "views/SettingsCard.h"

#include "ViewsFixture.h"
#include "views/RozivWorkdayFields.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMessageBox>

using namespace DewlightViews;
using DewlightTest::RecordingViewModel;
using Kind = RozivViewAction::Kind;
namespace S = SettingsCardStyle;

namespace {

constexpr double pageWidth = 560;

class SettingsCardTest : public ViewsTest {
protected:
    std::unique_ptr<ui::Host> show() {
        return window([this] { return SettingsCard(model); }, keyed(), pageWidth);
    }
    static QMenu* open(ui::Host& host, const QString& id) {
        click(host, centre(host, id));
        return host.openMenu();
    }
    static QString shownValue(const ui::Host& host, const QString& name) {
        const auto* node = accessible(host.accessibleNodes(), name);
        return node ? node->value : QStringLiteral("(none)");
    }
    static QAbstractButton* buttonWithRole(QMessageBox& box, QMessageBox::ButtonRole role) {
        for (QAbstractButton* button : box.buttons())
            if (box.buttonRole(button) == role)
                return button;
        return nullptr;
    }

    RecordingViewModel model{{}, plainPreferences()};
};

// Each menu offers its fixed list (no 450 ml), sends the picked value once, and keeps showing
// the published value: a refused pick snaps back when the model publishes the old preferences.
TEST_F(SettingsCardTest, TheMenusOfferTheirListsAndSendOnlyAPick) {
    struct Case {
        QString id, name;
        std::vector<QString> texts;
        std::size_t pick;
        Kind kind;
        std::int64_t value;
        QString shown;
    };
    const Case cases[] = {
        {S::glassId,
         "Glass size",
         {"150 ml", "200 ml", "250 ml", "300 ml", "350 ml", "400 ml", "500 ml"},
         6,
         Kind::glassMilliliters,
         500,
         "250 ml"},
        {S::intervalId,
         "Remind every",
         {"30 minutes", "45 minutes", "60 minutes", "90 minutes", "120 minutes"},
         0,
         Kind::intervalMinutes,
         30,
         "60 minutes"},
    };
    auto host = show();
    EXPECT_TRUE(model.sent.empty()); // nothing on appear
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        model.sent.clear();
        QMenu* menu = open(*host, c.id);
        ASSERT_NE(menu, nullptr);
        std::vector<QString> texts;
        QString checked;
        for (QAction* action : menu->actions()) {
            texts.push_back(action->text());
            if (action->isChecked())
                checked = action->text();
        }
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(checked, c.shown);
        menu->actions()[2]->trigger(); // the published value again: nothing
        menu->actions()[c.pick]->trigger();
        menu->close();
        settle();
        ASSERT_EQ(model.sent.size(), 1u);
        EXPECT_EQ(model.sent[0].kind(), c.kind);
        EXPECT_EQ(model.sent[0].number(), c.value);

        // Until the model publishes, and after it refuses (publishing nothing new), the menu
        // shows the old value.
        EXPECT_EQ(shownValue(*host, c.name), c.shown);
        model.publish(plainPreferences());
        settle();
        EXPECT_EQ(shownValue(*host, c.name), c.shown);
    }

    // Taken: the menus follow the published preferences.
    auto taken = plainPreferences();
    taken.glassMilliliters = 500;
    taken.intervalMinutes = 30;
    model.publish(taken);
    settle();
    EXPECT_EQ(shownValue(*host, "Glass size"), "500 ml");
    EXPECT_EQ(shownValue(*host, "Remind every"), "30 minutes");
}

TEST_F(SettingsCardTest, TheLoginSwitchSendsItsNewPositionAndFollowsThePublishedOne) {
    auto host = show();
    const auto checked = [&] {
        const auto* toggle = accessible(host->accessibleNodes(), "Open at Login");
        return toggle ? toggle->checked : std::nullopt;
    };
    ASSERT_EQ(checked(), false);
    host->activate(accessible(host->accessibleNodes(), "Open at Login")->actionIdentity);
    settle();
    ASSERT_EQ(model.sent.size(), 1u);
    EXPECT_EQ(model.sent[0].kind(), Kind::login);
    EXPECT_TRUE(model.sent[0].isOn());
    EXPECT_EQ(checked(), false); // until the model says so

    auto on = plainPreferences();
    on.opensAtLogin = true;
    model.publish(on);
    settle();
    EXPECT_EQ(checked(), true);
    // The model could not change it after all: the switch goes back.
    model.publish(plainPreferences());
    settle();
    EXPECT_EQ(checked(), false);
}

TEST_F(SettingsCardTest, TheWorkdayFieldsSendThroughTheModel) {
    auto host = show();
    click(*host, centre(*host, QString::fromLatin1(WorkdayFieldsStyle::dayId) + "6"));
    settle();
    ASSERT_EQ(model.sent.size(), 1u);
    EXPECT_EQ(model.sent[0].kind(), Kind::day);
    EXPECT_EQ(model.sent[0].number(), 6);
}

// "Erase data" sends one erase however it is pressed; "Cancel" and Escape send nothing; every
// answer closes the dialog, and "Erase…" asks again.
TEST_F(SettingsCardTest, TheEraseConfirmationSendsExactlyOneEraseOrNothing) {
    auto host = show();
    const auto ask = [&] {
        click(*host, centre(*host, QString(S::eraseId)));
        settle();
        return host->openDialog();
    };
    EXPECT_EQ(host->openDialog(), nullptr);

    QMessageBox* box = ask();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Erase glasses and settings?");
    EXPECT_FALSE(box->informativeText().isEmpty());
    buttonWithRole(*box, QMessageBox::RejectRole)->click();
    settle();
    EXPECT_EQ(host->openDialog(), nullptr);
    EXPECT_TRUE(model.sent.empty());

    box = ask();
    ASSERT_NE(box, nullptr);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &escape);
    settle();
    EXPECT_EQ(host->openDialog(), nullptr);
    EXPECT_TRUE(model.sent.empty());

    box = ask();
    ASSERT_NE(box, nullptr);
    QAbstractButton* erase = buttonWithRole(*box, QMessageBox::DestructiveRole);
    ASSERT_NE(erase, nullptr);
    EXPECT_EQ(erase->text(), "Erase data");
    erase->click();
    erase->click();
    settle();
    EXPECT_EQ(host->openDialog(), nullptr);
    EXPECT_EQ(model.kinds(), std::vector{Kind::erase});
}

TEST_F(SettingsCardTest, WhileErasingTheButtonRestsAndSaysSo) {
    for (const bool erasing : {false, true}) {
        SCOPED_TRACE(erasing);
        auto state = plainPreferences();
        state.isErasing = erasing;
        model.publish(state);
        const ui::Layout layout = lay(SettingsCard(model), keyed(), pageWidth);
        const auto tree = ui::accessibilityTree(layout.root());
        const auto* button = accessible(tree, "Erase…");
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->disabled, erasing);
        EXPECT_EQ(findText(layout.root(), "Erasing data…") != nullptr, erasing);
    }
}

TEST_F(SettingsCardTest, TheSectionsComeInOrderAtThePageWidth) {
    const ui::Layout layout = lay(SettingsCard(model), keyed(), pageWidth);
    EXPECT_DOUBLE_EQ(layout.size().width(), pageWidth);
    double lastY = -1;
    for (const QString text :
         {"Preferences", "General", "Open at Login", "Your workday", "Start", "End", "Days",
          "Keep at least one working day.", "A range, not a goal: 3–5 glasses.", "Reminders",
          "Glass size", "Remind every",
          "At the lower end of the range, the interval doubles. Above the range, reminders stop.",
          "Erase…"}) {
        SCOPED_TRACE(text.toStdString());
        const ui::Element* shown = findText(layout.root(), text);
        ASSERT_NE(shown, nullptr);
        EXPECT_GT(shown->frame.y(), lastY);
        lastY = shown->frame.y();
    }
}

TEST_F(SettingsCardTest, ShowsNothingOnceItsModelIsGone) {
    auto gone = std::make_unique<RecordingViewModel>(RozivPanelState{}, plainPreferences());
    auto host = window([view = SettingsCard(*gone)] { return view; }, keyed(), pageWidth);
    EXPECT_NE(host->layout()->find(QString(S::eraseId)), nullptr);
    gone.reset();
    host->rebuild();
    EXPECT_EQ(host->layout()->find(QString(S::eraseId)), nullptr);
}

} // namespace
