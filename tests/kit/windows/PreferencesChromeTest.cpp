// The preferences chrome and its layouts: frames, the brand background in each scheme, focus
// rings after keyboard use, the pane list, and pictures of a sample preferences page compared
// with their references.
#include "kit/windows/PreferencesChrome.h"

#include "kit/panel/PreferencesControls.h"
#include "kit/panel/PreferencesRows.h"
#include "tests/kit/panel/PreferencesFixture.h"
#include "tests/support/PictureReference.h"
#include "ui/AccessibilityTree.h"
#include "ui/NodeImpl.h"
#include "ui/Render.h"
#include "ui/TreeQuery.h"

using namespace KestraUI;
using Role = ui::AccessibleNode::Role;

namespace {

KestraBrand brand() {
    return {QStringLiteral("Dewlight"), QColor(10, 158, 194), KestraBrand::Connection::offline,
            QColor(90, 200, 250), QColor(0, 110, 150)};
}

class PreferencesChromeTest : public PreferencesTest {
protected:
    static ui::Node block(double width, double height) {
        return ui::fill(ui::Shape::rectangle(), ui::Color::clear()).frame(width, height);
    }
};

TEST_F(PreferencesChromeTest, TheChromeIsExactlyItsWidthAndPadsItsContent) {
    const ui::Layout laid = layout(
        ui::Node(PreferencesChrome{brand(), 560, block(100, 40).id("content")}).id("chrome"), 800);
    EXPECT_EQ(laid.frame(u"chrome").size(), QSizeF(560, 40 + 16 + 64));
    EXPECT_EQ(laid.frame(u"content").topLeft(), QPointF(32, 48));

    // A single page: the header, 32 under it the content, in a 496-wide column.
    const ui::Layout page =
        layout(ui::Node(PreferencesLayout{brand(), Text::verbatim("Preferences"),
                                          ui::Node(block(496, 40)).id("content")})
                   .id("page"),
               560);
    const ui::Element* title = textElement(page.root(), "Preferences");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->font.pixelSize(), 26);
    EXPECT_EQ(title->font.weight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(page.frame(u"content").top(), 48 + 48 + 32);
    EXPECT_DOUBLE_EQ(page.frame(u"content").left(), 32);
    EXPECT_DOUBLE_EQ(page.frame(u"page").width(), 560);
    const auto nodes = ui::accessibilityTree(page.root());
    ASSERT_FALSE(nodes.empty());
    EXPECT_EQ(nodes.front().role, Role::heading);
}

TEST_F(PreferencesChromeTest, TheBackgroundFollowsTheScheme) {
    const ui::Node chrome = PreferencesChrome{brand(), 200, block(136, 100)};
    const struct {
        ui::ColorScheme scheme;
        int base; // the gradient's bottom-trailing colour: the scheme's base, untinted
    } cases[] = {{ui::ColorScheme::light, 255}, {ui::ColorScheme::dark, 20}};
    for (const auto& c : cases) {
        ui::Environment env = environment();
        env.scheme = c.scheme;
        const QImage image = ui::render(chrome, env, 200, 1);
        const QColor corner = image.pixelColor(image.width() - 1, image.height() - 1);
        EXPECT_NEAR(corner.red(), c.base, 2) << int(c.scheme);
        EXPECT_EQ(corner.alpha(), 255);
        const QColor top = image.pixelColor(0, 0);
        EXPECT_GT(top.blue(), top.red()) << int(c.scheme);
    }
}

TEST_F(PreferencesChromeTest, RingsShowOnlyAfterAKeyAndHideWhenTheWindowIsActivatedAgain) {
    bool reminders = true, sounds = false;
    auto host = makeHost(
        [&] {
            auto binding = [](bool& value) {
                return ui::Binding<bool>([&value] { return value; },
                                         [&value](bool on) { value = on; });
            };
            return ui::Node(PreferencesLayout{
                brand(), "Preferences",
                PreferencesGroup{
                    "General",
                    {ui::Node(PreferencesToggleRow{"Reminders", std::nullopt, binding(reminders)})
                         .id("reminders"),
                     ui::Node(PreferencesToggleRow{"Sounds", std::nullopt, binding(sounds)})
                         .id("sounds")}}});
        },
        {560, 400});
    auto switchFrame = [&](QStringView row) {
        const ui::Element* element = host->layout()->find(row);
        const ui::Element* control = ui::firstInside(
            *element, [](const ui::Element& e) { return e.node->get<ui::TapAction>() != nullptr; });
        return control->frame;
    };
    const QRectF first = switchFrame(u"reminders");
    const QRectF second = switchFrame(u"sounds");

    click(*host, first.center());
    settle();
    EXPECT_FALSE(reminders);
    EXPECT_TRUE(rings(*host).empty());

    key(*host, Qt::Key_Tab);
    settle();
    ASSERT_EQ(rings(*host).size(), 1u);
    EXPECT_EQ(rings(*host).front()->frame, second.adjusted(-4, -4, 4, 4));

    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(host.get(), &activate);
    settle();
    EXPECT_TRUE(rings(*host).empty());
    key(*host, Qt::Key_Space); // any key; this one also flips the focused switch
    settle();
    EXPECT_TRUE(sounds);
    EXPECT_EQ(rings(*host).size(), 1u);
}

struct PaneModel {
    QString selected = "general";
    std::vector<QString> built; // the selections the content was built for
};

std::vector<PreferencesPane<QString>> samplePanes() {
    return {{"general", "General", "gearshape", Text("Settings"), std::nullopt},
            {"reminders", "Reminders", "clock", Text("Settings"), std::nullopt},
            {"sync", "Sync", "icloud", std::nullopt, ui::Color::fixed(QColor(40, 160, 60))}};
}

ui::Node paneLayout(PaneModel& model) {
    const ui::Binding<QString> selection([&model] { return model.selected; },
                                         [&model](QString id) { model.selected = std::move(id); });
    return PreferencesPaneLayout<QString>{brand(), samplePanes(), selection,
                                          [&model](const QString& id) {
                                              model.built.push_back(id);
                                              return ui::Node(ui::verbatim("Pane " + id));
                                          }};
}

TEST_F(PreferencesChromeTest, ThePaneListShowsEachSetSectionAndMarksTheSelectedRow) {
    PaneModel model;
    const ui::Layout laid = layout(paneLayout(model), 768);
    std::vector<std::tuple<Role, QString, bool>> read;
    for (const ui::AccessibleNode& node : ui::accessibilityTree(laid.root()))
        read.emplace_back(node.role, node.label, node.selected);
    // The sidebar reads first: both panes of the section carry its heading, the last none.
    const std::vector<std::tuple<Role, QString, bool>> sidebar = {
        {Role::heading, "Settings", false},
        {Role::button, "General", true},
        {Role::heading, "Settings", false},
        {Role::button, "Reminders", false},
        {Role::button, "Sync", false},
        {Role::heading, "General", false},
        {Role::staticText, "Pane general", false}};
    EXPECT_EQ(read, sidebar);

    const ui::Element* selected = textElement(laid.root(), "General");
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->font.weight(), QFont::DemiBold);
    EXPECT_EQ(textElement(laid.root(), "Reminders")->font.weight(), QFont::Normal);
    // Sidebar at 32, 176 wide; the pane column 32 further, 496 wide.
    EXPECT_DOUBLE_EQ(selected->frame.left(), 32 + 12 + 20 + 8);
    EXPECT_DOUBLE_EQ(textElement(laid.root(), "Pane general")->frame.left(), 32 + 176 + 32);
}

TEST_F(PreferencesChromeTest, ASelectionOfNoPaneShowsAnEmptyTitleAndStillBuildsItsContent) {
    PaneModel model;
    model.selected = "gone";
    const ui::Layout laid = layout(paneLayout(model), 768);
    EXPECT_EQ(model.built.back(), "gone");
    EXPECT_NE(textElement(laid.root(), "Pane gone"), nullptr);
    for (const ui::AccessibleNode& node : ui::accessibilityTree(laid.root()))
        EXPECT_FALSE(node.selected) << node.label.toStdString();
}

TEST_F(PreferencesChromeTest, AClickSelectsAPaneWithoutARingAndTabShowsTheRoundedRing) {
    PaneModel model;
    auto host = makeHost([&] { return paneLayout(model); }, {768, 480});
    auto rowFrame = [&](const QString& title) {
        const auto& nodes = host->accessibleNodes();
        const auto found = std::find_if(nodes.begin(), nodes.end(), [&](const auto& n) {
            return n.role == Role::button && n.label == title;
        });
        return found == nodes.end() ? QRectF() : found->frame;
    };
    const QRectF reminders = rowFrame("Reminders");
    ASSERT_FALSE(reminders.isEmpty());
    EXPECT_EQ(reminders.height(), 40);

    click(*host, reminders.center());
    settle();
    EXPECT_EQ(model.selected, "reminders");
    EXPECT_TRUE(rings(*host).empty());
    EXPECT_NE(textElement(host->layout()->root(), "Pane reminders"), nullptr);

    key(*host, Qt::Key_Tab); // on to Sync
    settle();
    ASSERT_EQ(rings(*host).size(), 1u);
    EXPECT_EQ(rings(*host).front()->frame, rowFrame("Sync").adjusted(-4, -4, 4, 4));
    key(*host, Qt::Key_Space);
    settle();
    EXPECT_EQ(model.selected, "sync");
}

// A page of sample rows in both schemes.
ui::Node samplePage() {
    auto constant = [](bool value) { return ui::Binding<bool>::constant(value); };
    const ui::Binding<int> glass = ui::Binding<int>::constant(250);
    const ui::Binding<int> interval = ui::Binding<int>::constant(60);
    auto minutes = [](const int& m) { return Text("%lld minutes", {(long long)m}); };
    return PreferencesLayout{
        brand(), "Preferences",
        ui::vstack(
            {PreferencesGroup{
                 "General",
                 {PreferencesToggleRow{"Open at Login", std::nullopt, constant(true)},
                  PreferencesToggleRow{"Play a sound", Text("Only while the panel is closed."),
                                       constant(false)}}},
             PreferencesGroup{
                 "Reminders",
                 {PreferencesRow{"Glass size", std::nullopt, true,
                                 PreferencesChoiceMenu<int>{"Glass size",
                                                            glass,
                                                            {150, 200, 250, 300},
                                                            [](const int& ml) {
                                                                return Text("%@ ml",
                                                                            {QString::number(ml)});
                                                            }}},
                  PreferencesRow{"Remind every", std::nullopt, true,
                                 PreferencesChoiceMenu<int>{
                                     "Remind every", interval, {30, 45, 60, 90, 120}, minutes}},
                  PreferencesRow{"Name", std::nullopt, false,
                                 preferencesField(ui::textField("Ada", [](const QString&) {}))
                                     .frame(160, std::nullopt)},
                  PreferencesNote{"At the lower end of the range, the interval doubles. Above "
                                  "the range, reminders stop."}}},
             PreferencesGroup{
                 "Status",
                 {PreferencesStatusRow(PreferencesStatus::warning, "Notifications are off",
                                       Text("Turn them on in Settings to get reminders."), true,
                                       ui::button(ui::text("Open Settings"), [] {})),
                  PreferencesStatusRow(PreferencesStatus::good, "Sync is on", std::nullopt),
                  PreferencesStatusRow(PreferencesStatus::waiting, "Waiting for the sync folder",
                                       Text("Checks again in a minute.")),
                  PreferencesGap{}, PreferencesValueRow{"Version", Text::verbatim("0.1.0")}}},
             preferencesButtonStyle(ui::button(preferencesDestructive(ui::text("Erase…")), [] {}))},
            ui::HorizontalAlignment::leading, 32)};
}

TEST_F(PreferencesChromeTest, APreferencesPageRendersInBothSchemes) {
    for (ui::ColorScheme scheme : {ui::ColorScheme::light, ui::ColorScheme::dark}) {
        ui::Environment env = environment();
        env.scheme = scheme;
        const QImage image = ui::render(samplePage(), env, 560, 2);
        EXPECT_EQ(image.width(), 1120);
        EXPECT_GT(image.height(), 1200);
        // The chrome fills the page: nothing is left transparent.
        EXPECT_EQ(image.pixelColor(2, image.height() - 2).alpha(), 255);
        EXPECT_TRUE(DewlightTest::matchesReference(
            image, scheme == ui::ColorScheme::light ? QStringLiteral("kit/preferences-light@2x")
                                                    : QStringLiteral("kit/preferences-dark@2x")));
    }
}

TEST_F(PreferencesChromeTest, TheFocusedMenuOfAWindowIsDrawnWithItsRing) {
    auto host = makeHost([] { return samplePage(); }, {560, 1000});
    for (int i = 0; i < 3; ++i) // the two switches, then the glass size menu
        key(*host, Qt::Key_Tab);
    settle();
    ASSERT_EQ(rings(*host).size(), 1u);
    EXPECT_TRUE(DewlightTest::matchesReference(host->grab().toImage(),
                                               QStringLiteral("kit/preferences-focus")));
}

} // namespace
