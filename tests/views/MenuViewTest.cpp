// The menu panel: what it hands the panel frame for each state, and how it follows its model.
#include "views/MenuView.h"

#include "ViewsFixture.h"
#include "kit/panel/UpdateCard.h"
#include "kit/windows/KestraFont.h"
#include "platform/calendar/Calendar.h"
#include "tests/support/FakeUpdateNotifier.h"
#include "views/RozivCounter.h"
#include "views/RozivSnapshotModel.h"

using namespace DewlightViews;
using DewlightTest::RecordingViewModel;
namespace PanelPart = KestraUI::PanelPart;
using KestraUI::PanelStatus;
using Kind = RozivViewAction::Kind;

namespace {

const QString nnbsp = QString(QChar(0x202F));

class MenuViewTest : public ViewsTest {
protected:
    KestraUI::KestraPanel panelFor(const RozivPanelState& state) {
        return menuPanel(
            state, [this](const RozivViewAction& a) { sent.push_back(a.kind()); }, format);
    }

    const DewlightPlatform::Calendar calendar = DewlightPlatform::Calendar::gregorian(zone);
    const RozivFormat format{QLocale(QLocale::English, QLocale::UnitedStates), calendar};
    std::vector<Kind> sent;
};

TEST_F(MenuViewTest, StatusLineAndDotFollowTheStatus) {
    using S = RozivPanelStatus;
    struct Case {
        RozivPanelStatus status;
        QString key;
        std::vector<ui::TextArgument> arguments;
        PanelStatus dot;
    };
    const Case cases[] = {
        {S::scheduled(at(14, 5)),
         "Next reminder at %@",
         {"2:05" + nnbsp + "PM"},
         PanelStatus::working},
        {S::snoozed(at(15, 30)), "Snoozed until %@", {"3:30" + nnbsp + "PM"}, PanelStatus::working},
        {S::outside(at(9, 0, 26)),
         "Next workday: %@",
         {"Mon 9:00" + nnbsp + "AM"},
         PanelStatus::off},
        {S::off(), "Off: no reminders, counting goes on", {}, PanelStatus::off},
        {S::enough(), "That is enough for today", {}, PanelStatus::off},
        // Nothing failed, but the reminders are not ready yet.
        {S::preparing(), "Preparing reminders…", {}, PanelStatus::attention},
        {S::permission(), "Notifications are off", {}, PanelStatus::attention},
        {S::failed(), "Reminders need attention", {}, PanelStatus::attention},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        auto state = plainState();
        state.status = c.status;
        const auto panel = panelFor(state);
        EXPECT_EQ(panel.status.key(), c.key);
        EXPECT_EQ(panel.status.arguments(), c.arguments);
        EXPECT_EQ(panel.dot, KestraUI::KestraPanel::Dot(c.dot));
    }
}

TEST_F(MenuViewTest, PrivacyLineSaysWhereTheDataLives) {
    struct Case {
        RozivCloudState cloud;
        QString text;
        QString symbol;
    };
    const Case cases[] = {
        {RozivCloudState::syncing, "Your data stays on this Mac while iCloud connects.",
         "internaldrive"},
        {RozivCloudState::available, "Your glasses and settings stay in your iCloud.", "icloud"},
        {RozivCloudState::localOnly, "Without iCloud, your data stays on this Mac.",
         "internaldrive"},
        {RozivCloudState::failed, "Your data stays on this Mac. iCloud needs attention.",
         "internaldrive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.symbol.toStdString());
        auto state = plainState();
        state.cloud = c.cloud;
        const auto panel = panelFor(state);
        EXPECT_EQ(panel.privacy.key(), c.text);
        EXPECT_EQ(panel.privacySymbol.name(), c.symbol);
    }
}

TEST_F(MenuViewTest, ControlsOnlySendTheirActions) {
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        sent.clear();
        auto state = plainState();
        state.remindersEnabled = on;
        const auto panel = panelFor(state);
        EXPECT_EQ(panel.isOn.get(), on);
        EXPECT_TRUE(panel.isSwitchEnabled);
        EXPECT_EQ(panel.refreshLoginItemOnAppear, nullptr);
        EXPECT_FALSE(panel.footerAction);
        EXPECT_FALSE(panel.preferencesFocusChanged);
        panel.isOn.set(!on);
        EXPECT_EQ(panel.isOn.get(), on); // the switch shows what the model publishes
        panel.showGuide();
        panel.showPreferences();
        EXPECT_EQ(sent, (std::vector{Kind::reminders, Kind::openWelcome, Kind::openPreferences}));
    }
}

// The switch in the window: turning it sends reminders(false) and nothing else; it moves when the
// model publishes the new state, with the status line.
TEST_F(MenuViewTest, SwitchFollowsThePublishedState) {
    RecordingViewModel model(plainState());
    auto host = window([&] { return MenuView(model); }, keyed());
    const auto checked = [&] {
        const ui::AccessibleNode* toggle =
            ui::firstAccessible(host->accessibleNodes(), [](const ui::AccessibleNode& node) {
                return node.role == ui::AccessibleNode::Role::toggle;
            });
        return toggle ? toggle->checked : std::nullopt;
    };
    ASSERT_EQ(checked(), true);

    click(*host, centre(*host, PanelPart::onOff));
    settle();
    ASSERT_EQ(model.sent.size(), 1u);
    EXPECT_EQ(model.sent[0].kind(), Kind::reminders);
    EXPECT_FALSE(model.sent[0].isOn());
    EXPECT_EQ(checked(), true);

    auto off = plainState();
    off.remindersEnabled = false;
    off.status = RozivPanelStatus::off();
    model.publish(off);
    settle();
    EXPECT_EQ(checked(), false);
    EXPECT_NE(findText(host->layout()->root(), "Off: no reminders, counting goes on"), nullptr);
}

TEST_F(MenuViewTest, FooterButtonsOpenTheGuideAndThePreferences) {
    RecordingViewModel model(plainState());
    auto host = window([&] { return MenuView(model); }, keyed());
    click(*host, centre(*host, PanelPart::guide));
    click(*host, centre(*host, PanelPart::preferences));
    key(*host, Qt::Key_Comma, Qt::ControlModifier);
    settle();
    EXPECT_EQ(model.kinds(),
              (std::vector{Kind::openWelcome, Kind::openPreferences, Kind::openPreferences}));
}

TEST_F(MenuViewTest, InstallsTheUpdateNotifierItIsGiven) {
    RecordingViewModel model(plainState());
    FakeUpdateNotifier notifier;
    notifier.publish(KestraUI::AvailableUpdate{"1.4", QUrl("https://example.org/d/")});

    auto offered = window([&] { return MenuView(model, &notifier); }, keyed());
    EXPECT_FALSE(offered->layout()->frame(PanelPart::updateCard).isEmpty());
    EXPECT_EQ(notifier.checks, 1); // the panel asks on appear

    // Given none, as in snapshot mode, it installs none: a notifier set around the view does
    // not reach the panel, which shows no card and asks nothing.
    RozivSnapshotModel snapshot({QStringLiteral("dewlight")}, calendar);
    auto plain = window(
        [&] {
            return MenuView(snapshot).environment(KestraUI::UpdateNotifierKey,
                                                  QPointer<KestraUI::UpdateNotifier>(&notifier));
        },
        keyed());
    EXPECT_TRUE(plain->layout()->frame(PanelPart::updateCard).isEmpty());
    EXPECT_EQ(notifier.checks, 1);
}

TEST_F(MenuViewTest, EverythingInsideDefaultsToTheDetailRole) {
    RecordingViewModel model(plainState());
    const ui::Layout layout = lay(MenuView(model), keyed());
    EXPECT_EQ(layout.find(PanelPart::content)->env().font, font(KestraUI::KestraFont::detail));
}

TEST_F(MenuViewTest, ShowsNothingOnceItsModelIsGone) {
    auto model = std::make_unique<RecordingViewModel>(plainState());
    auto host = window([&, view = MenuView(*model)] { return view; }, keyed());
    EXPECT_GT(host->layout()->size().height(), 0);
    model.reset();
    host->rebuild();
    EXPECT_EQ(host->layout()->find(PanelPart::header), nullptr);
}

} // namespace
