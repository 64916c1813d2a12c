// The panel frame: its column, header, footer, shortcuts, focus reports and the update card.
#include "kit/panel/Panel.h"

#include "KitFixture.h"
#include "PanelSample.h"
#include "kit/panel/LocalLoginService.h"
#include "kit/panel/UpdateCard.h"
#include "kit/windows/BrandPalette.h"
#include "kit/windows/PrivacyGreen.h"
#include "tests/support/FakeUpdateNotifier.h"
#include "ui/AccessibilityTree.h"
#include "ui/NodeImpl.h"
#include "ui/TreeQuery.h"

#include <QSignalSpy>

using namespace KestraUI;
using ui::ColorScheme;
using namespace PanelSample;

namespace {

class PanelTest : public KitTest {
protected:
    // A host showing the panel under `notifier` (none: no notifier installed), sized to it.
    std::unique_ptr<ui::Host> show(PanelModel& model, UpdateNotifier* notifier = nullptr) {
        ui::Host::View view = [&model, notifier, this] {
            ui::Node panel = model.panel();
            if (notifier)
                panel = panel.environment(UpdateNotifierKey, QPointer<UpdateNotifier>(notifier));
            return panel.environment(OpenURLKey,
                                     [this](const QUrl& url) { opened.push_back(url); });
        };
        auto host = makeHost(view, {368, 640});
        return host;
    }
    static std::vector<QKeyCombination> shortcuts(const ui::Host& host) {
        std::vector<QKeyCombination> found;
        ui::visit(host.layout()->root(), [&](const ui::Element& e) {
            if (const ui::Shortcut* shortcut = e.node->get<ui::Shortcut>())
                found.push_back(shortcut->key);
        });
        return found;
    }

    std::vector<QUrl> opened;
};

const QKeyCombination preferencesKey(Qt::ControlModifier, Qt::Key_Comma);
const QKeyCombination quitKey(Qt::ControlModifier, Qt::Key_Q);

TEST_F(PanelTest, TheColumnIs368WideWithPaddingAndSpacingOf16) {
    PanelModel model;
    const ui::Layout panel = layout(model.panel(), 500);
    EXPECT_EQ(panel.size().width(), 368);
    const QRectF header = panel.frame(PanelPart::header);
    const QRectF content = panel.frame(PanelPart::content);
    const QRectF footer = panel.frame(PanelPart::footer);
    EXPECT_EQ(header.topLeft(), QPointF(16, 16));
    EXPECT_EQ(header.width(), 336);
    EXPECT_EQ(content, QRectF(16, header.bottom() + 16, 336, 120));
    EXPECT_EQ(footer.top(), content.bottom() + 16);
    EXPECT_EQ(panel.size().height(), footer.bottom() + 16);
    EXPECT_TRUE(panel.frame(PanelPart::updateCard).isEmpty());
}

TEST_F(PanelTest, AStatusOfThreeLinesShowsTwoEndingInAnEllipsis) {
    PanelModel model;
    model.status = Text::verbatim(QStringLiteral(
        "Reminders need attention because the notification service did not answer and the "
        "reminders of today could not be planned again after the last change"));
    const ui::Layout panel = layout(model.panel(), 368);
    const auto shown = texts(*panel.find(PanelPart::header));
    const auto status = std::find_if(
        shown.begin(), shown.end(), [](const ui::Element* e) { return e->text.startsWith("Rem"); });
    ASSERT_NE(status, shown.end());
    ASSERT_EQ((*status)->lines.size(), 2u);
    EXPECT_TRUE((*status)->lines.back().text.endsWith(QChar(0x2026)));
}

TEST_F(PanelTest, DotColoursFollowTheScheme) {
    const QColor red[] = {QColor(255, 59, 48), QColor(255, 69, 58)};
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        const int s = int(scheme);
        const std::pair<PanelStatus, QColor> expected[] = {
            {PanelStatus::working, PrivacyGreen::color(scheme)},
            {PanelStatus::off, painted(BrandPalette::muted, scheme)},
            {PanelStatus::attention,
             scheme == ColorScheme::dark ? QColor(255, 159, 10) : QColor(184, 80, 0)},
            {PanelStatus::recording, red[s]},
        };
        ASSERT_EQ(std::size(expected), allPanelStatuses.size());
        for (std::size_t i = 0; i < allPanelStatuses.size(); ++i) {
            EXPECT_EQ(expected[i].first, allPanelStatuses[i]);
            EXPECT_EQ(painted(dotColor(allPanelStatuses[i], scheme), scheme), expected[i].second)
                << i << " in scheme " << s;
        }
    }
    EXPECT_EQ(PrivacyGreen::color(ColorScheme::light), QColor::fromRgbF(0.09f, 0.44f, 0.18f));
}

TEST_F(PanelTest, TheVersionLineCarriesTheBadgeOnOneBaseline) {
    EXPECT_EQ(footerVersionLine("1.0.3"), "Norvane (1.0.3)");
    EXPECT_EQ(footerVersionLine(""), "Norvane (?)");
    EXPECT_EQ(footerVersionLine(nullptr), "Norvane (?)");

    PanelModel model;
    const auto versionTexts = [&] {
        const ui::Layout panel = layout(model.panel(), 368);
        std::vector<std::pair<QString, double>> found;
        for (const ui::Element* e : texts(*panel.find(PanelPart::versionLine)))
            found.emplace_back(e->text, e->frame.top() + e->lines.front().baseline);
        return found;
    };
    auto shown = versionTexts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].first.startsWith("Norvane (") && shown[0].first.endsWith(")"));

    model.action = PanelFooterAction{.symbol = "clock", .title = "History"};
    EXPECT_EQ(versionTexts().size(), 1u); // no badge, no separator

    model.action->badge = Text::verbatim("Beta");
    shown = versionTexts();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].first, "·");
    EXPECT_EQ(shown[2].first, "Beta");
    EXPECT_DOUBLE_EQ(shown[1].second, shown[0].second);
    EXPECT_DOUBLE_EQ(shown[2].second, shown[0].second);
    // Read aloud without the separator; the button never shows the badge.
    const ui::Layout panel = layout(model.panel(), 368);
    QStringList read;
    for (const auto& node : ui::accessibilityTree(*panel.find(PanelPart::footer)))
        read << node.label;
    EXPECT_FALSE(read.contains("·"));
    EXPECT_TRUE(texts(*panel.find(PanelPart::footerAction)).empty());
}

TEST_F(PanelTest, CtrlCommaExistsOnlyWithThePreferencesButton) {
    PanelModel model;
    auto host = show(model);
    auto keys = shortcuts(*host);
    EXPECT_NE(std::find(keys.begin(), keys.end(), preferencesKey), keys.end());
    EXPECT_NE(std::find(keys.begin(), keys.end(), quitKey), keys.end());
    key(*host, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(model.preferences, 1);

    model.withPreferences = false;
    host->rebuild();
    keys = shortcuts(*host);
    EXPECT_EQ(std::find(keys.begin(), keys.end(), preferencesKey), keys.end());
    EXPECT_NE(std::find(keys.begin(), keys.end(), quitKey), keys.end());
    key(*host, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(model.preferences, 1);
    EXPECT_EQ(frame(*host, PanelPart::preferences), QRectF());
}

TEST_F(PanelTest, FooterButtonsActAndSayTheirTitle) {
    PanelModel model;
    auto host = show(model);
    click(*host, centre(*host, PanelPart::guide));
    EXPECT_EQ(model.guides, 1);
    click(*host, centre(*host, PanelPart::preferences));
    EXPECT_EQ(model.preferences, 1);
    QStringList buttons;
    for (const auto& node : host->accessibleNodes())
        if (node.role == ui::AccessibleNode::Role::button)
            buttons << node.label;
    EXPECT_EQ(buttons, (QStringList{"Preferences", "Getting Started", "Quit"}));
}

TEST_F(PanelTest, ThePreferencesButtonReportsItsFocusAndFalseWhenItLeaves) {
    PanelModel model;
    auto host = show(model);
    key(*host, Qt::Key_Tab); // the switch
    key(*host, Qt::Key_Tab); // preferences
    settle();
    key(*host, Qt::Key_Tab); // getting started
    settle();
    EXPECT_EQ(model.focus, (std::vector<bool>{true, false}));

    key(*host, Qt::Key_Backtab);
    settle();
    model.withPreferences = false; // the button goes while focused
    host->rebuild();
    settle();
    EXPECT_EQ(model.focus, (std::vector<bool>{true, false, true, false}));
}

TEST_F(PanelTest, TheSwitchWritesThroughItsBindingOverItsWholeSquare) {
    PanelModel model;
    auto host = show(model);
    const QRectF square = frame(*host, PanelPart::onOff);
    EXPECT_GE(square.width(), 44);
    EXPECT_GE(square.height(), 44);
    click(*host, square.topLeft() + QPointF(1, 1)); // outside the drawn switch
    EXPECT_EQ(model.sent, (std::vector<bool>{false}));
    EXPECT_TRUE(model.on); // shows only what is published

    model.switchEnabled = false;
    host->rebuild();
    click(*host, square.center());
    click(*host, square.topLeft() + QPointF(1, 1));
    EXPECT_EQ(model.sent.size(), 1u);
    const auto read = host->accessibleNodes();
    const auto toggle = std::find_if(read.begin(), read.end(), [](const auto& n) {
        return n.role == ui::AccessibleNode::Role::toggle;
    });
    ASSERT_NE(toggle, read.end());
    EXPECT_EQ(toggle->label, "Dewlight");
    EXPECT_TRUE(toggle->disabled);
    EXPECT_EQ(toggle->checked, true);
}

TEST_F(PanelTest, TheSwitchTooltipFollowsItsState) {
    for (const bool on : {true, false}) {
        PanelModel model;
        model.on = on;
        model.switchEnabled = on; // disabled or not, the tooltip follows the state
        const ui::Layout panel = layout(model.panel(), 368);
        const ui::Element* tip = nullptr;
        ui::visit(*panel.find(PanelPart::header), [&](const ui::Element& e) {
            if (!tip && e.node->get<ui::Tooltip>())
                tip = &e;
        });
        ASSERT_NE(tip, nullptr);
        EXPECT_EQ(tip->node->get<ui::Tooltip>()->key, on ? "Turn off" : "Turn on");
    }
}

TEST_F(PanelTest, TheUpdateCardComesAndGoesBetweenContentAndFooter) {
    PanelModel model;
    FakeUpdateNotifier notifier;
    auto host = show(model, &notifier);
    EXPECT_EQ(notifier.checks, 1); // on screen once
    EXPECT_TRUE(frame(*host, PanelPart::updateCard).isEmpty());
    const QRectF header = frame(*host, PanelPart::header);
    const QRectF content = frame(*host, PanelPart::content);
    const QRectF footerBefore = frame(*host, PanelPart::footer);

    notifier.publish(offer); // arrives while the panel is open
    settle();
    const QRectF card = frame(*host, PanelPart::updateCard);
    ASSERT_FALSE(card.isEmpty());
    EXPECT_EQ(frame(*host, PanelPart::header), header);
    EXPECT_EQ(frame(*host, PanelPart::content), content);
    EXPECT_EQ(card.top(), content.bottom() + 16);
    EXPECT_EQ(frame(*host, PanelPart::footer).top(), card.bottom() + 16);
    EXPECT_EQ(card.width(), 336);
    EXPECT_NE(findText(host->layout()->root(), "Version 1.4 is here"), nullptr);

    const auto button = [&](const QString& label) {
        for (const auto& node : host->accessibleNodes())
            if (node.label == label)
                return node.frame.center();
        ADD_FAILURE() << label.toStdString();
        return QPointF();
    };
    click(*host, button("Download"));
    settle();
    EXPECT_EQ(opened, std::vector<QUrl>{offer.download});
    EXPECT_FALSE(frame(*host, PanelPart::updateCard).isEmpty()); // the offer stays

    click(*host, button("Not now"));
    settle();
    EXPECT_EQ(notifier.setAsides, 1);
    EXPECT_TRUE(frame(*host, PanelPart::updateCard).isEmpty());
    EXPECT_EQ(frame(*host, PanelPart::footer), footerBefore);
    EXPECT_EQ(notifier.checks, 1);
}

TEST_F(PanelTest, WithoutANotifierThereIsNoCardAndNothingToAsk) {
    PanelModel model;
    auto host = show(model);
    EXPECT_TRUE(frame(*host, PanelPart::updateCard).isEmpty());
    EXPECT_EQ(findText(host->layout()->root(), "Download"), nullptr);
}

TEST_F(PanelTest, ComingOnScreenRefreshesTheLoginItemAndAsksForACheck) {
    auto owned = std::make_unique<LocalLoginService>();
    LocalLoginService* service = owned.get();
    LoginItem item(std::move(owned));
    QSignalSpy changes(&item, &LoginItem::enabledChanged);
    PanelModel model;
    model.loginItem = &item;
    FakeUpdateNotifier notifier;
    auto host = show(model, &notifier);
    EXPECT_EQ(notifier.checks, 1);
    EXPECT_EQ(changes.count(), 0);

    service->current = LoginItemStatus::enabled; // changed in the desktop's settings
    host->hide();
    host->show();
    settle();
    EXPECT_EQ(notifier.checks, 2);
    EXPECT_TRUE(item.enabled());
    EXPECT_EQ(changes.count(), 1);

    model.loginItem = nullptr; // the status form without a refresh
    service->current = LoginItemStatus::notRegistered;
    host->rebuild();
    host->hide();
    host->show();
    settle();
    EXPECT_TRUE(item.enabled());
}

TEST_F(PanelTest, TheDotColourFormDrawsNoBackgroundAndKeepsTheBrandSwitch) {
    auto owned = std::make_unique<LocalLoginService>();
    LoginItem item(std::move(owned));
    bool on = true;
    const KestraPanel panel = KestraPanel::withDotColor({
        .brand = brand,
        .status = "Recording",
        .dotColor = ui::Color::fixed(Qt::magenta),
        .isOn = ui::Binding<bool>::constant(on),
        .privacy = "Stays here.",
        .privacySymbol = "internaldrive",
        .showGuide = [] {},
        .footerAction = std::nullopt,
        .loginItem = item,
        .content = sampleContent(),
    });
    EXPECT_FALSE(panel.showPreferences);
    EXPECT_EQ(panel.refreshLoginItemOnAppear, &item);
    EXPECT_TRUE(panel.isSwitchEnabled);

    // A corner of the column: the brand background in the status form, nothing in this one.
    EXPECT_EQ(pixel(panel, 368, {2, 2}).alpha(), 0);
    PanelModel model;
    EXPECT_EQ(pixel(model.panel(), 368, {2, 2}).alpha(), 255);
    // The switch is on in the brand colour in both forms.
    const ui::Layout laidOut = layout(panel, 368);
    const QRectF onOff = laidOut.frame(PanelPart::onOff);
    const QImage image = ui::render(panel, environment(), 368, 1);
    EXPECT_TRUE(
        near(image.pixelColor(QPointF(onOff.center().x() - 12, onOff.center().y()).toPoint()),
             brand.color, 6));
    // The header dot is the colour given: its centre, 4 points before the status line, 8 across.
    const ui::Element* status = findText(laidOut.root(), "Recording");
    ASSERT_NE(status, nullptr);
    const QPointF dotCentre(status->frame.left() - 4 - 4, status->frame.center().y());
    EXPECT_TRUE(near(pixel(panel, 368, dotCentre), QColor(Qt::magenta)));
    // The tint is cleared for the content, also under a tint set around the panel.
    const ui::Layout tinted =
        layout(ui::Node(panel).tint(ui::Color::fixed(QColor(200, 40, 0))), 368);
    ASSERT_NE(tinted.find(PanelPart::content), nullptr);
    EXPECT_FALSE(tinted.find(PanelPart::content)->env().tint.has_value());
    EXPECT_TRUE(layout(model.panel(), 368).find(PanelPart::content)->env().tint.has_value())
        << "the status form tints its content with the brand's accent";
}

TEST_F(PanelTest, TheSampleNotifierWithdrawsOnlyOnARealChange) {
    SampleUpdateNotifier sample;
    QSignalSpy changes(&sample, &UpdateNotifier::availableChanged);
    ASSERT_TRUE(sample.available());
    EXPECT_EQ(sample.available()->version, "1.1");
    EXPECT_EQ(sample.available()->download.scheme(), "https");
    EXPECT_EQ(sample.available()->download.path(), "/downloads/");
    sample.checkIfDue();
    sample.setAvailable(SampleUpdateNotifier::sampleOffer()); // the same offer again
    EXPECT_EQ(changes.count(), 0);
    sample.setAside();
    EXPECT_FALSE(sample.available());
    sample.setAside();
    EXPECT_EQ(changes.count(), 1);
}

} // namespace
