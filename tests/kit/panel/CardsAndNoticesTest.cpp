// Cards, setting rows, notices, the privacy line and the icon: layout, colours, reading.
#include "KitFixture.h"
#include "kit/panel/InlineNotice.h"
#include "platform/login/LocalLoginService.h"
#include "kit/panel/NoticeCard.h"
#include "kit/panel/PrivacyLine.h"
#include "kit/panel/Rows.h"
#include "kit/brand/BrandPalette.h"
#include "kit/brand/PrivacyGreen.h"
#include "ui/AccessibilityTree.h"
#include "ui/Controls.h"
#include "ui/NodeImpl.h"
#include "ui/TreeQuery.h"

#include <QPainter>
#include <QSvgRenderer>

using namespace DewlightPlatform;
using namespace KestraUI;
using ui::ColorScheme;

namespace {

const QString longText = QStringLiteral(
    "Your data stays on this computer while the sync folder cannot be reached, and every glass "
    "you count today is kept.");

ui::Node box(double width, double height) {
    return ui::fill(ui::Shape::rectangle(), ui::Color::black()).frame(width, height);
}

// The first graphic (symbol or image) laid out in the tree.
const ui::Element* firstGraphic(const ui::Element& root) {
    const ui::Element* found = nullptr;
    ui::visit(root, [&](const ui::Element& e) {
        if (!found && e.node->isGraphic())
            found = &e;
    });
    return found;
}

TEST_F(KitTest, PanelCardPadsItsColumnAndTakesTheWholeWidth) {
    const ui::Layout card = layout(PanelCard(6, {box(40, 10).id("a"), box(60, 10).id("b")}), 300);
    EXPECT_EQ(card.size(), QSizeF(300, 12 + 10 + 6 + 10 + 12));
    EXPECT_EQ(card.frame(u"a"), QRectF(12, 12, 40, 10));
    EXPECT_EQ(card.frame(u"b"), QRectF(12, 28, 60, 10));
    EXPECT_TRUE(
        near(pixel(PanelCard(6, {box(40, 10)}), 300, {290, 20}), painted(BrandPalette::faint)));
}

TEST_F(KitTest, GlassCardSharesTheFrameOnTheGlass) {
    const ui::Layout card = layout(GlassCard(6, {box(40, 10).id("a")}), 300);
    EXPECT_EQ(card.size(), QSizeF(300, 34));
    EXPECT_EQ(card.frame(u"a"), QRectF(12, 12, 40, 10));
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark})
        EXPECT_TRUE(near(pixel(GlassCard(6, {box(40, 10)}), 300, {290, 17}, scheme),
                         painted(ui::Color::glassMaterial(), scheme)));
}

TEST_F(KitTest, SettingRowsKeepOneLineAndTheControlAtTheTrailingEdge) {
    const struct {
        const char* name;
        QString title;
        double controlHeight;
        double height;
    } cases[] = {
        {"short content", "Reminders", 10, 32},
        {"tall control", "Reminders", 40, 40},
        {"long title", longText, 10, 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool setting : {true, false}) {
            const ui::Node control = box(30, c.controlHeight).id("control");
            const ui::Node row =
                setting ? SettingRow(Text::verbatim(c.title), "clock", control)
                        : ActionRow(Text::verbatim(c.title), "clock", ui::Color::red(), control);
            const ui::Layout laidOut = layout(row, 280);
            EXPECT_EQ(laidOut.size(), QSizeF(280, c.height));
            EXPECT_EQ(laidOut.frame(u"control").right(), 280);
            const auto shown = texts(laidOut.root());
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown.front()->lines.size(), 1u);
            EXPECT_LE(shown.front()->frame.right() + 8, laidOut.frame(u"control").left());
        }
    }
}

TEST_F(KitTest, OpenAtLoginRowShowsTheItemAndNamesItsSwitch) {
    for (const bool on : {false, true}) {
        auto service = std::make_unique<LocalLoginService>();
        service->current = on ? LoginItemStatus::enabled : LoginItemStatus::notRegistered;
        LoginItem item(std::move(service));
        const auto read = ui::accessibilityTree(layout(OpenAtLoginRow(Qt::red, item), 300).root());
        ASSERT_EQ(read.size(), 2u);
        EXPECT_EQ(read[0].label, "Open at Login");
        EXPECT_EQ(read[1].role, ui::AccessibleNode::Role::toggle);
        EXPECT_EQ(read[1].label, "Open at Login");
        EXPECT_EQ(read[1].checked, on);
    }
}

TEST_F(KitTest, NoticeCardWarnsInTheSchemesColourAndGrowsWithItsMessage) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        const QColor warning = painted(BrandPalette::warning(scheme), scheme);
        QColor tint = warning;
        tint.setAlphaF(0.12f);
        const ui::Node card =
            NoticeCard("exclamationmark.triangle", "Reminders need attention",
                       Text::verbatim(longText), {ui::button(ui::text("Retry"), [] {})});
        const QImage image = ui::render(card, environment(scheme), 260, 1);
        // A corner of the card away from its content: the faint fill over the warning tint.
        EXPECT_TRUE(
            near(image.pixelColor(250, 8), stacked({tint, painted(BrandPalette::faint, scheme)})));
        const ui::Layout laidOut = layout(card, 260, scheme);
        EXPECT_TRUE(inked(strongest(image, firstGraphic(laidOut.root())->frame), warning));
        const ui::Element* message = findText(laidOut.root(), longText);
        ASSERT_NE(message, nullptr);
        EXPECT_GE(message->lines.size(), 3u);
        EXPECT_FALSE(message->lines.back().text.endsWith(QChar(0x2026)));
        EXPECT_EQ(laidOut.size().width(), 260);
    }
}

TEST_F(KitTest, ANoticeCardWithoutActionsEndsWithItsMessage) {
    const ui::Layout with = layout(NoticeCard("icloud", "Title", "Message", {box(20, 20)}), 260);
    const ui::Layout without = layout(NoticeCard("icloud", "Title", "Message"), 260);
    EXPECT_EQ(without.size().height(), with.size().height() - 20 - 8);
}

TEST_F(KitTest, InlineNoticesColourTheirSymbolByKindAndScheme) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark})
        for (NoticeKind kind : {NoticeKind::warning, NoticeKind::waiting, NoticeKind::info}) {
            const ui::Node notice = InlineNotice(kind, "Notifications are off");
            const QImage image = ui::render(notice, environment(scheme), 300, 2);
            const ui::Layout laidOut = layout(notice, 300, scheme);
            const ui::Element* symbol = firstGraphic(laidOut.root());
            const QColor expected = painted(
                kind == NoticeKind::warning ? BrandPalette::warning(scheme) : BrandPalette::muted,
                scheme);
            QColor ink = strongest(image, symbol->frame);
            EXPECT_TRUE(inked(ink, expected)) << int(kind) << int(scheme);
        }
}

TEST_F(KitTest, InlineNoticesFillTheirColumnAndWrapBesideTheFirstBaseline) {
    const ui::Node plain = InlineNotice(NoticeKind::info, Text::verbatim(longText));
    const ui::Node withButton =
        InlineNotice(NoticeKind::info, Text::verbatim(longText), box(40, 16).id("trailing"));
    for (const double width : {150.0, 320.0}) {
        const ui::Layout laidOut = layout(plain, width);
        EXPECT_EQ(laidOut.size().width(), width);
        EXPECT_TRUE(near(pixel(plain, width, {width - 2, laidOut.size().height() / 2}),
                         painted(BrandPalette::faint)));
        const ui::Element* text = findText(laidOut.root(), longText);
        ASSERT_NE(text, nullptr);
        EXPECT_GT(text->lines.size(), 1u);
        // Nothing is reserved for a trailing view: the text is offered all but the padding and
        // the spacing before the (empty) spacer.
        EXPECT_NEAR(text->frame.left() + *text->proposal.width, width - 12 - 12, 0.5);
        const ui::Element* symbol = firstGraphic(laidOut.root());
        EXPECT_NEAR(symbol->frame.top() + *symbol->firstBaseline,
                    text->frame.top() + text->lines.front().baseline, 0.01);

        const ui::Layout trailed = layout(withButton, width);
        EXPECT_EQ(trailed.frame(u"trailing").right(), width - 12);
    }
    const auto read = ui::accessibilityTree(layout(plain, 320).root());
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read.front().label, longText);
    const ui::Node withControl = InlineNotice(NoticeKind::warning, "Notifications are off",
                                              ui::button(ui::text("Allow"), [] {}));
    const auto held = ui::accessibilityTree(layout(withControl, 320).root());
    ASSERT_EQ(held.size(), 1u);
    ASSERT_EQ(held.front().children.size(), 2u);
    EXPECT_EQ(held.front().children[0].label, "Notifications are off");
    EXPECT_EQ(held.front().children[1].role, ui::AccessibleNode::Role::button);
    EXPECT_EQ(held.front().children[1].label, "Allow");
}

TEST_F(KitTest, PrivacyLineWrapsOnTheFirstBaselineInTheSchemesGreen) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        const ui::Node line = PrivacyLine(Text::verbatim(longText), "internaldrive");
        const ui::Layout laidOut = layout(line, 200, scheme);
        const ui::Element* text = findText(laidOut.root(), longText);
        ASSERT_NE(text, nullptr);
        EXPECT_GT(text->lines.size(), 2u);
        EXPECT_LE(text->frame.right(), 200);
        const ui::Element* symbol = firstGraphic(laidOut.root());
        EXPECT_NEAR(symbol->frame.top() + *symbol->firstBaseline,
                    text->frame.top() + text->lines.front().baseline, 0.01);
        const QImage image = ui::render(line, environment(scheme), 200, 2);
        EXPECT_TRUE(inked(strongest(image, text->frame), PrivacyGreen::color(scheme)));
        EXPECT_TRUE(inked(strongest(image, symbol->frame), PrivacyGreen::color(scheme)));
    }
}

TEST_F(KitTest, TheBrandsPrivacyLineIsItsDefaultPromise) {
    const KestraBrand online{QStringLiteral("Dewlight"), Qt::blue, KestraBrand::Connection::online,
                             std::nullopt, std::nullopt};
    EXPECT_NE(findText(layout(PrivacyLine(online), 300).root(), "No data collected"), nullptr);
}

TEST_F(KitTest, AppIconIsASquareOfItsSizeThatShowsOnBothSchemes) {
    const ui::Layout icon = layout(AppIcon(48), 300);
    EXPECT_EQ(icon.size(), QSizeF(48, 48));
    EXPECT_TRUE(ui::accessibilityTree(icon.root()).empty());
    const QImage image = ui::render(AppIcon(48), environment(), 48, 2);
    EXPECT_EQ(image.size(), QSize(96, 96));
    EXPECT_EQ(image.pixelColor(48, 70).alpha(), 255); // the drop's body
    EXPECT_EQ(image.pixelColor(2, 2).alpha(), 0);     // its surroundings
}

TEST_F(KitTest, TheIconPixelsRenderedWhenBuildingAreTheSvgsOwn) {
    // The panel draws the icon from pixels rendered by a build tool; a tool or SVG that drifted
    // from the bundled drawing would show another icon than the SVG's.
    const QImage& built = appIconImage();
    ASSERT_EQ(built.size(), QSize(256, 256));
    QImage rendered(256, 256, QImage::Format_ARGB32_Premultiplied);
    rendered.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/dewlight/kit/AppIcon.svg"));
    ASSERT_TRUE(svg.isValid());
    QPainter painter(&rendered);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, 256, 256));
    painter.end();
    EXPECT_EQ(built.convertToFormat(QImage::Format_ARGB32_Premultiplied), rendered);
}

} // namespace
