// The welcome pieces: step buttons and rows, the welcome steps page with its size report and
// its scrolling arrangement, the single-page welcome with its permission rows, and pictures of
// both pages in either scheme compared with their references.
#include "kit/panel/LocalLoginService.h"
#include "kit/panel/LoginItem.h"
#include "kit/windows/FixedWindowContent.h"
#include "kit/windows/WelcomeLayout.h"
#include "kit/windows/WelcomeSteps.h"
#include "kit/windows/WelcomeStepsLayout.h"
#include "tests/kit/panel/PreferencesFixture.h"
#include "tests/support/PictureReference.h"
#include "ui/AccessibilityTree.h"
#include "ui/Localization.h"
#include "ui/NodeImpl.h"
#include "ui/Render.h"
#include "ui/TreeQuery.h"

#include <cmath>

using namespace KestraUI;
using Role = ui::AccessibleNode::Role;

namespace {

KestraBrand brand(QColor color = QColor(10, 158, 194)) {
    return {QStringLiteral("Dewlight"), color, KestraBrand::Connection::offline,
            QColor(90, 200, 250), QColor(0, 110, 150)};
}

class WelcomeTest : public PreferencesTest {
protected:
    static ui::Environment environment(ui::ColorScheme scheme = ui::ColorScheme::light) {
        ui::Environment env = PreferencesTest::environment();
        env.scheme = scheme;
        return env;
    }
    static std::vector<ui::AccessibleNode> read(const ui::Node& view, double width = 496) {
        return ui::accessibilityTree(layout(view, width).root());
    }
    static bool hasButton(const std::vector<ui::AccessibleNode>& nodes, const QString& label) {
        return std::any_of(nodes.begin(), nodes.end(), [&](const ui::AccessibleNode& n) {
            return n.role == Role::button && n.label == label;
        });
    }
    // Whether the placed element carrying `id` lies inside a scroll view.
    static bool insideScrollView(const ui::Element& root, QStringView id) {
        bool inside = false;
        std::function<void(const ui::Element&, bool)> walk = [&](const ui::Element& e,
                                                                  bool scrolling) {
            if (!e.placed)
                return;
            const bool now = scrolling || e.node->get<ui::Scrolling>() != nullptr;
            if (e.explicitId == id)
                inside = now;
            for (const ui::Element& child : e.children)
                walk(child, now);
        };
        walk(root, false);
        return inside;
    }
};

// A page with a card of `cardHeight`, its buttons writing what they did into `log`.
WelcomeStepsLayout page(std::vector<QString>& log, double cardHeight = 60) {
    WelcomeStepsLayout layout;
    layout.brand = brand();
    layout.title = Text::verbatim("Welcome to Dewlight");
    layout.lead = Text::verbatim("A few steps, and it reminds you to drink.");
    layout.step = 2;
    layout.stepCount = 3;
    layout.stepLabel = Text::verbatim("Step 2 of 3");
    layout.stepTitle = Text::verbatim("Working hours");
    layout.privacy = Text::verbatim("Your drinks stay on this computer.");
    layout.skip = WelcomeStepsButton{Text::verbatim("Skip"), false, [&log] { log.push_back("skip"); }};
    layout.back = WelcomeStepsButton{Text::verbatim("Back"), false, [&log] { log.push_back("back"); }};
    layout.primary =
        WelcomeStepsButton{Text::verbatim("Continue"), false, [&log] { log.push_back("continue"); }};
    layout.note = Text::verbatim("You can change all of this later.");
    layout.card = ui::Node(
        WelcomeStepRow{WelcomeStepState::done, Text::verbatim("Notifications are on."),
                       std::nullopt, brand(), ui::verbatim("Allow notifications.")})
                      .frame(std::nullopt, cardHeight, ui::Alignment::topLeading());
    return layout;
}

TEST_F(WelcomeTest, AProminentButtonTitleContrastsWithTheBrandColour) {
    const struct {
        QColor color;
        QColor title;
    } cases[] = {{QColor(255, 240, 140), Qt::black}, {QColor(20, 40, 120), Qt::white}};
    for (const auto& c : cases) {
        const ui::Layout laid = layout(
            WelcomeButton{{Text::verbatim("Continue"), false, [] {}}, brand(c.color), true}, 300);
        const ui::Element* title = textElement(laid.root(), "Continue");
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->env().foreground.resolve(title->env()), c.title) << c.color.name().toStdString();
    }
}

TEST_F(WelcomeTest, ADisabledProminentButtonKeepsHalfItsFillAndDoesNotAct) {
    int pressed = 0;
    const QColor dark(20, 40, 120);
    auto host = makeHost(
        [&] {
            return ui::Node(WelcomeButton{{Text::verbatim("Continue"), true, [&] { ++pressed; }},
                                          brand(dark), true})
                .id("button");
        },
        {300, 100});
    click(*host, centre(*host, u"button"));
    key(*host, Qt::Key_Tab);
    key(*host, Qt::Key_Space);
    settle();
    EXPECT_EQ(pressed, 0);
    // The capsule at half strength over the (transparent) host: the brand colour's own hue
    // at half its alpha, sampled beside the title.
    const QImage image = ui::render(
        WelcomeButton{{Text::verbatim("Continue"), true, [] {}}, brand(dark), true},
        environment(), 300, 1);
    const QColor side = image.pixelColor(image.width() / 2, 3).toRgb();
    EXPECT_NEAR(side.alpha(), 128, 3);
}

TEST_F(WelcomeTest, ALongButtonTitleStaysOnOneLineAtItsFullWidth) {
    const QString title = "Allow notifications from this application, please";
    for (const bool prominent : {true, false}) {
        const ui::Layout laid =
            layout(ui::hstack({ui::Node(WelcomeButton{{Text::verbatim(title), false, [] {}},
                                                      brand(), prominent})}),
                   120);
        const ui::Element* text = textElement(laid.root(), title);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->lines.size(), 1u);
        EXPECT_FALSE(text->lines.front().text.endsWith(QChar(0x2026)));
        EXPECT_GT(text->frame.width(), 120);
    }
}

TEST_F(WelcomeTest, AStepRowShowsTheCelebrationOnlyWhenDoneAndTheActionOnlyWhenNot) {
    const struct {
        WelcomeStepState state;
        bool celebration;
        bool action;
        bool showsCelebration;
        bool showsAction;
    } cases[] = {
        {WelcomeStepState::done, true, true, true, false},
        {WelcomeStepState::done, false, false, false, false},
        {WelcomeStepState::attention, true, true, false, true},
        {WelcomeStepState::todo, false, false, false, false},
        {WelcomeStepState::todo, true, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.state));
        const WelcomeStepRow row{
            c.state,
            c.celebration ? std::optional(Text::verbatim("All set.")) : std::nullopt,
            c.action ? std::optional(WelcomeStepsButton{Text::verbatim("Allow"), false, [] {}})
                     : std::nullopt,
            brand(), ui::verbatim("Allow notifications.")};
        const ui::Layout laid = layout(row, 496);
        EXPECT_NE(textElement(laid.root(), "Allow notifications."), nullptr);
        EXPECT_EQ(textElement(laid.root(), "All set.") != nullptr, c.showsCelebration);
        EXPECT_EQ(hasButton(ui::accessibilityTree(laid.root()), "Allow"), c.showsAction);
        // The mark is decoration: only the detail, celebration and button are read.
        for (const ui::AccessibleNode& node : ui::accessibilityTree(laid.root()))
            EXPECT_NE(node.role, Role::image);
    }
}

TEST_F(WelcomeTest, TheProgressShowsOneDotPerStepAndAtLeastOne) {
    std::vector<QString> log;
    const struct {
        int count;
        bool label;
        std::size_t dots; // 0: no dots at all
    } cases[] = {{3, true, 3}, {0, true, 1}, {-2, true, 1}, {3, false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        WelcomeStepsLayout layout = page(log);
        layout.stepCount = c.count;
        if (!c.label)
            layout.stepLabel.reset();
        const ui::Layout laid = PreferencesTest::layout(layout, 560);
        const ui::Element* dots = laid.find(QString::fromLatin1(WelcomeStepsStyle::dotsId));
        if (c.dots == 0) {
            EXPECT_EQ(dots, nullptr);
            EXPECT_EQ(textElement(laid.root(), "Step 2 of 3"), nullptr);
            continue;
        }
        ASSERT_NE(dots, nullptr);
        std::size_t circles = 0;
        ui::visit(*dots, [&](const ui::Element& e) {
            if (e.children.empty() && e.frame.size() == QSizeF(8, 8))
                ++circles;
        });
        EXPECT_EQ(circles, c.dots);
    }
}

TEST_F(WelcomeTest, ThePageReportsItsIdealHeightOnceBothPartsAreMeasured) {
    std::vector<QString> log;
    std::vector<QSizeF> reports;
    auto host = makeHost(
        [&] {
            return ui::Node(page(log)).environment(
                fixedWindowIdealSizeKey,
                FixedWindowSizeReport{[&](QSizeF size) { reports.push_back(size); }});
        },
        {560, 900});
    settle();
    const QRectF step = frame(*host, QString::fromLatin1(WelcomeStepsStyle::stepPartId));
    const QRectF footer = frame(*host, QString::fromLatin1(WelcomeStepsStyle::footerId));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(),
              QSizeF(560, welcomeStepsIdealHeight(step.height(), footer.height())));
    // Nothing with a height still unknown.
    for (const QSizeF& size : reports)
        EXPECT_GT(size.height(), 80 + 32);

    // Outside a fixed window nobody is asked.
    auto bare = makeHost([&] { return ui::Node(page(log)); }, {560, 900});
    settle();
    EXPECT_EQ(bare->layout()->size().width(), 560);
}

TEST_F(WelcomeTest, AStepTallerThanTheWindowScrollsWhileTheFooterStaysInView) {
    std::vector<QString> log;
    // Room enough: one column, nothing scrolls.
    auto tall = makeHost([&] { return ui::Node(page(log, 60)); }, {560, 1200});
    EXPECT_FALSE(insideScrollView(tall->layout()->root(),
                                  QString::fromLatin1(WelcomeStepsStyle::stepPartId)));

    auto host = makeHost([&] { return ui::Node(page(log, 900)); }, {560, 600});
    settle();
    const ui::Element& root = host->layout()->root();
    EXPECT_TRUE(insideScrollView(root, QString::fromLatin1(WelcomeStepsStyle::stepPartId)));
    const QRectF footer = frame(*host, QString::fromLatin1(WelcomeStepsStyle::footerId));
    EXPECT_FALSE(footer.isEmpty());
    EXPECT_TRUE(QRectF(0, 0, 560, 600).contains(footer)) << footer.bottom();
    EXPECT_FALSE(insideScrollView(root, QString::fromLatin1(WelcomeStepsStyle::footerId)));

    // Return presses the primary button, also when it is the only one.
    key(*host, Qt::Key_Return);
    settle();
    EXPECT_EQ(log, std::vector<QString>{"continue"});
}

TEST_F(WelcomeTest, ADisabledPrimaryIgnoresReturn) {
    std::vector<QString> log;
    auto host = makeHost(
        [&] {
            WelcomeStepsLayout layout = page(log);
            layout.skip.reset();
            layout.back.reset();
            layout.note.reset();
            layout.primary.isDisabled = true;
            return ui::Node(layout);
        },
        {560, 900});
    key(*host, Qt::Key_Return);
    settle();
    EXPECT_TRUE(log.empty());
    const auto nodes = host->accessibleNodes();
    EXPECT_FALSE(hasButton(nodes, "Skip"));
    EXPECT_FALSE(hasButton(nodes, "Back"));
}

TEST_F(WelcomeTest, APermissionRowShowsItsBadgeTagAndButtonByState) {
    const struct {
        bool granted;
        bool optional;
        const char* badge;
        bool button;
    } cases[] = {{true, false, "Allowed", false},
                 {false, false, "Not allowed yet", true},
                 {false, true, "Not allowed yet", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.badge);
        const PermissionRow row{2,
                                c.granted,
                                c.optional,
                                Text::verbatim("Notifications"),
                                Text::verbatim("So the reminders can reach you."),
                                Text::verbatim("Allow"),
                                ui::Color::fixed(QColor(10, 158, 194)),
                                [] {}};
        const auto nodes = read(row, 432);
        EXPECT_TRUE(std::any_of(nodes.begin(), nodes.end(),
                                [&](const auto& n) { return n.label == c.badge; }));
        EXPECT_EQ(hasButton(nodes, "Allow"), c.button);
        EXPECT_EQ(textElement(layout(row, 432).root(), "Optional") != nullptr, c.optional);
    }
}

TEST_F(WelcomeTest, NumbersInACircleAreDrawnForAnyInteger) {
    for (const int number : {0, 7, 42, 999, 1000, 123456, -3}) {
        SCOPED_TRACE(number);
        const QImage image = ui::render(numberedCircle(number).font(ui::Font{ui::TextStyle::title2}),
                                        environment(), 40, 2);
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += image.pixelColor(x, y).alpha() > 0;
        EXPECT_GT(inked, 40);
        if (number > 999 || number < 0) {
            // Digits drawn by the kit stay inside the circle.
            const ui::Layout laid = layout(numberedCircle(number), 40);
            const ui::Element* digits = textElement(laid.root(), QString::number(number));
            ASSERT_NE(digits, nullptr);
            EXPECT_TRUE(laid.root().frame.contains(digits->frame));
        }
    }
}

TEST_F(WelcomeTest, TheSinglePageWelcomeStartsOnReturnAndReadsTheLoginItemOnAppear) {
    auto service = std::make_unique<LocalLoginService>();
    LocalLoginService& login = *service;
    LoginItem item(std::move(service));
    int started = 0;
    auto host = makeHost(
        [&] {
            return ui::Node(WelcomeLayout{
                .brand = brand(),
                .title = Text::verbatim("Welcome"),
                .subtitle = Text::verbatim("Drink water, gently."),
                .privacy = Text::verbatim("Nothing leaves this computer."),
                .privacySymbol = "hand.raised",
                .start = [&] { ++started; },
                .permissions = {},
                .login = &item,
            });
        },
        {480, 700});
    EXPECT_GE(login.statusReads, 1) << "refreshed when it came on screen";
    key(*host, Qt::Key_Return);
    settle();
    EXPECT_EQ(started, 1);

    // The switch asks the item, and shows what the item then reports.
    const auto nodes = host->accessibleNodes();
    const auto toggle = std::find_if(nodes.begin(), nodes.end(),
                                     [](const auto& n) { return n.label == "Open at Login"; });
    ASSERT_NE(toggle, nodes.end());
    EXPECT_TRUE(host->activate(toggle->identity));
    settle();
    EXPECT_EQ(login.registerCalls, 1);
    EXPECT_TRUE(item.enabled());
    const auto after = host->accessibleNode(toggle->identity);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->checked, std::optional(true));
}

TEST_F(WelcomeTest, PicturesOfAWelcomeStepAndTheSinglePageWelcomeInBothSchemes) {
    std::vector<QString> log;
    LoginItem item(std::make_unique<LocalLoginService>());
    for (const auto scheme : {ui::ColorScheme::light, ui::ColorScheme::dark}) {
        ui::Environment env = environment(scheme);
        env.localizer = ui::shippedLocalizer(QLocale(QLocale::English, QLocale::UnitedStates));
        const QString suffix = scheme == ui::ColorScheme::dark ? "dark" : "light";

        WelcomeStepsLayout steps = page(log);
        steps.card = ui::vstack(
            {ui::Node(WelcomeStepRow{WelcomeStepState::done, Text::verbatim("Notifications are on."),
                                     std::nullopt, brand(),
                                     ui::verbatim("Allow notifications so reminders reach you.")}),
             ui::Node(WelcomeStepRow{
                 WelcomeStepState::attention, std::nullopt,
                 WelcomeStepsButton{Text::verbatim("Open Settings"), false, [] {}}, brand(),
                 ui::verbatim("Do Not Disturb is on: reminders stay silent.")}),
             ui::Node(WelcomeStepRow{WelcomeStepState::todo, std::nullopt, std::nullopt, brand(),
                                     ui::verbatim("Pick the hours you work.")})},
            ui::HorizontalAlignment::leading, 0);
        const QImage stepImage = ui::render(steps, env, 560, 2);
        EXPECT_EQ(stepImage.width(), 1120);
        EXPECT_TRUE(DewlightTest::matchesReference(
            stepImage, QStringLiteral("kit/welcome-step-%1@2x").arg(suffix)));

        const WelcomeLayout welcome{
            .brand = brand(),
            .title = Text::verbatim("Welcome to Dewlight"),
            .subtitle =
                Text::verbatim("A gentle reminder to drink water during your working hours."),
            .privacy = Text::verbatim("Your drinks stay on this computer."),
            .privacySymbol = "hand.raised",
            .start = [] {},
            .permissions = {PermissionRow{1, true, false, Text::verbatim("Notifications"),
                                          Text::verbatim("So the reminders can reach you."),
                                          Text::verbatim("Allow"),
                                          ui::Color::fixed(QColor(10, 158, 194)), [] {}},
                            PermissionRow{2, false, true, Text::verbatim("Start with the session"),
                                          Text::verbatim("Dewlight opens when you log in."),
                                          Text::verbatim("Allow"),
                                          ui::Color::fixed(QColor(10, 158, 194)), [] {}}},
            .login = &item,
        };
        const QImage welcomeImage = ui::render(
            ui::Node(welcome).background(ui::fill(ui::Shape::rectangle(),
                                                  ui::Color::windowBackground())),
            env, 480, 2);
        EXPECT_EQ(welcomeImage.width(), 960);
        EXPECT_TRUE(DewlightTest::matchesReference(
            welcomeImage, QStringLiteral("kit/welcome-page-%1@2x").arg(suffix)));
    }
}

} // namespace
