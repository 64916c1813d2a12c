// Pictures of the menu panel for the demonstration state and each "--snapshot-state" variant,
// and of the start-up failure view, at scale 2 in both schemes, compared with their references;
// and no text in them is cut where it may wrap.
#include "ViewsFixture.h"
#include "kit/windows/FixedWindowContent.h"
#include "kit/windows/KestraSnapshotWindow.h"
#include "platform/calendar/Calendar.h"
#include "tests/support/PictureReference.h"
#include "views/MenuView.h"
#include "views/RozivSnapshotModel.h"
#include "views/RozivStartupFailure.h"
#include "views/SettingsCard.h"
#include "views/WelcomeView.h"

using namespace DewlightViews;

namespace {

const char* const variants[] = {"",       "denied",    "not-asked",     "off",
                                "local",  "four-sips", "three-glasses", "above-range",
                                "failed", "long-range"};

const char* schemeName(ui::ColorScheme scheme) {
    return scheme == ui::ColorScheme::dark ? "dark" : "light";
}

// A text is cut when it shows less than its words, its frame is smaller than its lines, or it
// reaches out of a view that holds it (a frame too small for it, or the view's edge). Only texts
// without a line limit are checked: those may wrap as far as they need.
void findCuts(const ui::Element& e, std::vector<QRectF>& holders,
              std::vector<std::string>& faults) {
    if (!e.placed)
        return;
    if (e.children.empty() && !e.text.isEmpty() && !e.env().lineLimit) {
        QStringList lines;
        double widest = 0;
        for (const ui::TextLine& line : e.lines) {
            lines << line.text;
            widest = std::max(widest, line.width);
        }
        const QString shown = lines.join(u' ').simplified();
        const double needed = QFontMetricsF(e.font).lineSpacing() * double(e.lines.size());
        std::string fault;
        if (shown != e.text.simplified())
            fault = "shows \"" + shown.toStdString() + "\"";
        else if (e.frame.height() + 0.5 < needed || e.frame.width() + 0.5 < widest)
            fault = "is smaller than its lines";
        for (const QRectF& holder : holders)
            if (fault.empty() && !holder.adjusted(-0.5, -0.5, 0.5, 0.5).contains(e.frame))
                fault = "reaches out of a view that holds it";
        if (!fault.empty())
            faults.push_back("\"" + e.text.toStdString() + "\" " + fault);
    }
    holders.push_back(e.frame);
    for (const ui::Element& child : e.children)
        findCuts(child, holders, faults);
    holders.pop_back();
}

testing::AssertionResult nothingCut(const ui::Layout& layout, double width) {
    std::vector<std::string> faults;
    std::vector<QRectF> holders{QRectF(0, 0, width, layout.size().height())};
    findCuts(layout.root(), holders, faults);
    if (faults.empty())
        return testing::AssertionSuccess();
    auto failure = testing::AssertionFailure();
    for (const auto& fault : faults)
        failure << fault << "\n";
    return failure;
}

// The menu panel, the welcome and the settings card share the references of the pictures the
// built binary writes in snapshot mode (tests/pictures/SnapshotPicturesTest.cpp): the same
// views over the same model, drawn in the process.
testing::AssertionResult matches(const QImage& image, const QString& name) {
    return DewlightTest::matchesReference(
        image, name.startsWith(u"snapshot/") ? name : QStringLiteral("views/") + name);
}

TEST_F(ViewsTest, MenuPanelPicturesForEveryDemonstrationVariant) {
    const auto calendar = DewlightPlatform::Calendar::gregorian(zone);
    for (const char* variant : variants) {
        SCOPED_TRACE(variant);
        QStringList arguments{QStringLiteral("dewlight")};
        if (*variant)
            arguments << QStringLiteral("--snapshot-state") << QString::fromUtf8(variant);
        RozivSnapshotModel model(arguments, calendar);
        const ui::Node view = MenuView(model);
        for (const auto scheme : {ui::ColorScheme::light, ui::ColorScheme::dark}) {
            SCOPED_TRACE(schemeName(scheme));
            const ui::Environment env = shipped(scheme);
            const ui::Layout layout = lay(view, env);
            EXPECT_DOUBLE_EQ(layout.size().width(), panelWidth);
            EXPECT_TRUE(nothingCut(layout, panelWidth));
            // On the snapshot's ground, twice its size: the picture snapshot mode writes.
            const QImage image = KestraUI::KestraSnapshot::frozen(view, env, false);
            EXPECT_EQ(image.width(), int(panelWidth * 2));
            EXPECT_TRUE(
                matches(image, QStringLiteral("snapshot/panel-%1-%2")
                                   .arg(*variant ? variant : "demonstration", schemeName(scheme))));
        }
    }
}

TEST_F(ViewsTest, StartupFailurePicturesKeepThePanelWidthAndWrapLongTexts) {
    // A translation three times as long still fits the width, on more lines.
    ui::Environment longer = shipped();
    const ui::Localizer english = longer.localizer;
    longer.localizer = [english](const QString& key, const std::vector<ui::TextArgument>& args) {
        const QString text = english(key, args);
        return text + u' ' + text + u' ' + text;
    };
    const ui::Node view = RozivStartupFailure{[] {}};
    const ui::Layout plain = lay(view, shipped()), wrapped = lay(view, longer);
    EXPECT_DOUBLE_EQ(plain.size().width(), panelWidth);
    EXPECT_DOUBLE_EQ(wrapped.size().width(), panelWidth);
    EXPECT_GT(wrapped.size().height(), plain.size().height());
    EXPECT_TRUE(nothingCut(plain, panelWidth));
    EXPECT_TRUE(nothingCut(wrapped, panelWidth));
    // The view has no ground of its own: the window that shows it gives one.
    const ui::Node grounded =
        view.background(ui::fill(ui::Shape::rectangle(), ui::Color::barMaterial()));
    for (const auto scheme : {ui::ColorScheme::light, ui::ColorScheme::dark})
        EXPECT_TRUE(matches(ui::render(grounded, shipped(scheme), panelWidth, 2),
                            QStringLiteral("startup-failure-%1@2x").arg(schemeName(scheme))));
    EXPECT_TRUE(matches(ui::render(grounded, longer, panelWidth, 2), "startup-failure-long@2x"));
}

} // namespace

namespace {

// The settings card and both welcome steps over the demonstration model, at the window's width.
TEST_F(ViewsTest, SettingsAndWelcomePicturesInBothSchemes) {
    constexpr double windowWidth = 560;
    const auto calendar = DewlightPlatform::Calendar::gregorian(zone);
    RozivSnapshotModel model({QStringLiteral("dewlight")}, calendar);
    const std::pair<const char*, ui::Node> views[] = {
        {"preferences", SettingsCard(model)},
        {"welcome-1", WelcomeView(model, 1)},
        {"welcome-2", WelcomeView(model, 2)},
    };
    for (const auto& [name, view] : views) {
        SCOPED_TRACE(name);
        for (const auto scheme : {ui::ColorScheme::light, ui::ColorScheme::dark}) {
            SCOPED_TRACE(schemeName(scheme));
            const ui::Environment env = shipped(scheme);
            const ui::Layout layout = lay(view, env, windowWidth);
            EXPECT_DOUBLE_EQ(layout.size().width(), windowWidth);
            EXPECT_TRUE(nothingCut(layout, windowWidth));
            // On the window's ground, in a window of whole points, at scale 2: the picture
            // snapshot mode writes at that scale.
            const ui::Node window = KestraUI::onWindowGround(view).frame(
                std::nullopt, std::ceil(layout.size().height()));
            EXPECT_TRUE(matches(ui::render(window, env, windowWidth, 2),
                                QStringLiteral("snapshot/%1-%2@2x").arg(name, schemeName(scheme))));
        }
    }
}

} // namespace
