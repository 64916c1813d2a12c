#include "ui/Layout.h"

#include "GuiTest.h"
#include "ui/Controls.h"
#include "ui/TreeQuery.h"

using namespace ui;

namespace {

Node box(double width, double height) {
    return fill(Shape::rectangle(), Color::black()).frame(width, height);
}

class LayoutTest : public GuiTest {};

struct StackCase {
    const char* name;
    bool vertical;
    int alignment; // HorizontalAlignment for vertical stacks, VerticalAlignment otherwise
    QRectF first, second;
    QSizeF size;
};

TEST_F(LayoutTest, StacksSpaceAndAlignTheirChildren) {
    const StackCase cases[] = {
        {"vertical leading",
         true,
         int(HorizontalAlignment::leading),
         {0, 0, 100, 20},
         {0, 28, 50, 10},
         {100, 38}},
        {"vertical centre",
         true,
         int(HorizontalAlignment::center),
         {0, 0, 100, 20},
         {25, 28, 50, 10},
         {100, 38}},
        {"vertical trailing",
         true,
         int(HorizontalAlignment::trailing),
         {0, 0, 100, 20},
         {50, 28, 50, 10},
         {100, 38}},
        {"horizontal top",
         false,
         int(VerticalAlignment::top),
         {0, 0, 100, 20},
         {108, 0, 50, 10},
         {158, 20}},
        {"horizontal centre",
         false,
         int(VerticalAlignment::center),
         {0, 0, 100, 20},
         {108, 5, 50, 10},
         {158, 20}},
        {"horizontal bottom",
         false,
         int(VerticalAlignment::bottom),
         {0, 0, 100, 20},
         {108, 10, 50, 10},
         {158, 20}},
    };
    for (const StackCase& c : cases) {
        std::vector<Node> children{box(100, 20).id("first"), box(50, 10).id("second")};
        const Node stack = c.vertical ? vstack(children, HorizontalAlignment(c.alignment), 8)
                                      : hstack(children, VerticalAlignment(c.alignment), 8);
        const Layout layout(stack, environment(), {400.0, 400.0});
        EXPECT_EQ(layout.frame(u"first"), c.first) << c.name;
        EXPECT_EQ(layout.frame(u"second"), c.second) << c.name;
        EXPECT_EQ(layout.size(), c.size) << c.name;
    }
}

TEST_F(LayoutTest, EmptyChildrenTakeNoSpacing) {
    const Layout layout(
        vstack({box(10, 10), Node(), box(10, 10).id("last")}, HorizontalAlignment::center, 16),
        environment(), {});
    EXPECT_EQ(layout.frame(u"last").top(), 26);
}

TEST_F(LayoutTest, FixedFrameWithPaddingGivesTheContentColumn) {
    const Node panel =
        vstack({verbatim("Dewlight"), divider().id("rule")}, HorizontalAlignment::leading, 16)
            .frame({.maxWidth = infinity, .alignment = Alignment::leading()})
            .id("content")
            .padding(16)
            .frame(368, std::nullopt);
    const Layout layout(panel, environment(), {500.0, std::nullopt});
    EXPECT_EQ(layout.size().width(), 368);
    EXPECT_EQ(layout.frame(u"content").width(), 336);
    EXPECT_EQ(layout.frame(u"content").left(), 16);
    EXPECT_EQ(layout.frame(u"rule").width(), 336);
}

struct FrameCase {
    const char* name;
    FrameLimits limits;
    bool flexibleChild; // a shape takes what it is offered; a box keeps 50 × 20
    ProposedSize proposal;
    QSizeF frame;
    QRectF child;
};

TEST_F(LayoutTest, FlexibleFramesClampBetweenTheirLimits) {
    const FrameCase cases[] = {
        {"max infinite fills the offer",
         {.maxWidth = infinity},
         false,
         {300.0, 100.0},
         {300, 20},
         {125, 0, 50, 20}},
        {"min widens a small child",
         {.minWidth = 100},
         false,
         {300.0, 100.0},
         {100, 20},
         {25, 0, 50, 20}},
        {"min and max take the offer within them",
         {.minWidth = 100, .maxWidth = 200},
         false,
         {300.0, 100.0},
         {200, 20},
         {75, 0, 50, 20}},
        {"max caps a flexible child",
         {.maxWidth = 80},
         true,
         {300.0, 40.0},
         {80, 40},
         {0, 0, 80, 40}},
        {"ideal answers an unspecified offer",
         {.idealWidth = 120},
         true,
         {std::nullopt, 40.0},
         {120, 40},
         {0, 0, 120, 40}},
        {"min height without an offer", {.minHeight = 36}, false, {}, {50, 36}, {0, 8, 50, 20}},
        {"alignment inside a wide frame",
         {.maxWidth = infinity, .alignment = Alignment::trailing()},
         false,
         {300.0, 100.0},
         {300, 20},
         {250, 0, 50, 20}},
    };
    for (const FrameCase& c : cases) {
        const Node child = c.flexibleChild ? fill(Shape::rectangle(), Color::black()) : box(50, 20);
        const Layout layout(child.id("child").frame(c.limits), environment(), c.proposal);
        EXPECT_EQ(layout.size(), c.frame) << c.name;
        EXPECT_EQ(layout.frame(u"child"), c.child) << c.name;
    }
}

TEST_F(LayoutTest, SpacerKeepsItsMinimumAndTakesTheRest) {
    const struct {
        double width;
        double gap;
        double total;
    } cases[] = {{400, 200, 400}, {260, 60, 260}, {200, 30, 230}, {0, 30, 230}};
    for (const auto& c : cases) {
        const Node row = hstack({box(100, 10), spacer(30).id("gap"), box(100, 10)},
                                VerticalAlignment::center, 0);
        const Layout layout(row, environment(), {c.width, std::nullopt});
        EXPECT_EQ(layout.frame(u"gap").width(), c.gap) << c.width;
        EXPECT_EQ(layout.size().width(), c.total) << c.width;
    }
}

// The rows of the kits that put a text beside a spacer, each with its text "note" (ids wrap).
struct RowCase {
    const char* name;
    std::function<Node(Node note)> row;
};

const QString noteText = QStringLiteral("Only during your working hours");

Node switchRow(Node note) { // a symbol, a title over a note, a spacer and a switch
    return hstack({symbol("drop").frame(20, std::nullopt),
                   vstack({verbatim("Reminders"), note}, HorizontalAlignment::leading, 4),
                   spacer(0), toggleSwitch(verbatim("Reminders"), true, [](bool) {})},
                  VerticalAlignment::center, 12);
}

const RowCase kitRows[] = {
    {"switch row", switchRow},
    {"notice with a trailing button",
     [](Node note) {
         return hstack({symbol("info.circle").frame(20, std::nullopt), note, spacer(0),
                        button(verbatim("Allow"), [] {}).controlSize(ControlSize::small)},
                       VerticalAlignment::firstTextBaseline, 12);
     }},
    {"status row",
     [](Node note) {
         return hstack({symbol("clock").frame(20, std::nullopt),
                        vstack({verbatim("Paused"), note}, HorizontalAlignment::leading, 4),
                        spacer(0)},
                       VerticalAlignment::top, 12);
     }},
    {"value row",
     [](Node note) {
         return hstack({note, spacer(8), verbatim("8 h").font(Font{}.withMonospacedDigits())},
                       VerticalAlignment::firstTextBaseline, 12);
     }},
    {"step row",
     [](Node note) {
         const Node dots = hstack({fill(Shape::circle(), Color::tint()).frame(8, 8),
                                   fill(Shape::circle(), Color::tertiary()).frame(8, 8)});
         return hstack({fill(Shape::circle(), Color::tint()).frame(24, 24),
                        note.fixedSize(false, true), spacer(8),
                        hstack({verbatim("1 of 2"), dots}).fixedSize()},
                       VerticalAlignment::center, 8);
     }},
};

TEST_F(LayoutTest, TextBesideASpacerWrapsOnlyWhenTheRowHasNoRoomLeft) {
    for (const RowCase& c : kitRows) {
        SCOPED_TRACE(c.name);
        const Node note = verbatim(noteText).id("note");
        for (const auto& [width, wraps] : {std::pair{336.0, false}, {200.0, true}}) {
            const Layout layout(c.row(note), environment(), {width, std::nullopt});
            const Element* text = firstInside(*layout.find(u"note"),
                                              [](const Element& e) { return !e.lines.empty(); });
            ASSERT_NE(text, nullptr);
            EXPECT_EQ(text->lines.size() > 1, wraps) << width;
            EXPECT_LE(layout.size().width(), width) << width;
        }
    }
}

TEST_F(LayoutTest, ASpacerGivesWayBeforeAFlexibleSibling) {
    // A shape takes what it is offered: beside a spacer it leaves the spacer its minimum.
    const Layout layout(hstack({fill(Shape::rectangle(), Color::black()).id("shape"),
                                spacer(20).id("gap"), box(50, 10)},
                               VerticalAlignment::center, 0),
                        environment(), {300.0, 10.0});
    EXPECT_EQ(layout.frame(u"shape").width(), 230);
    EXPECT_EQ(layout.frame(u"gap").width(), 20);
}

TEST_F(LayoutTest, LayoutPriorityDecidesWhoGivesWayFirst) {
    const QString words = QStringLiteral("several words that need room");
    const Layout ideal(verbatim(words), environment(), {});
    const double natural = ideal.size().width();
    const double offered = natural * 1.5; // room for one of the two in full, not both
    const struct {
        double first, second;
        const char* keeps;
        const char* yields;
    } cases[] = {{0, 1, "b", "a"}, {1, 0, "a", "b"}, {2, 1, "a", "b"}};
    for (const auto& c : cases) {
        const Node row = hstack({verbatim(words).layoutPriority(c.first).id("a"),
                                 verbatim(words).layoutPriority(c.second).id("b")},
                                VerticalAlignment::top, 8);
        const Layout layout(row, environment(), {offered, std::nullopt});
        EXPECT_DOUBLE_EQ(layout.frame(QString::fromLatin1(c.keeps)).width(), natural) << c.keeps;
        EXPECT_LE(layout.frame(QString::fromLatin1(c.yields)).width(),
                  offered - natural - 8 + 1e-9);
        EXPECT_GT(layout.frame(QString::fromLatin1(c.yields)).height(),
                  layout.frame(QString::fromLatin1(c.keeps)).height());
    }
    // Equal priorities share: neither keeps its full width.
    const Layout shared(
        hstack({verbatim(words).id("a"), verbatim(words).id("b")}, VerticalAlignment::top, 8),
        environment(), {offered, std::nullopt});
    EXPECT_LT(shared.frame(u"a").width(), natural);
    EXPECT_LT(shared.frame(u"b").width(), natural);
}

TEST_F(LayoutTest, FirstThatFitsPicksTheFirstChildWhoseIdealHeightFits) {
    const struct {
        double height;
        const char* chosen;
        const char* left;
    } cases[] = {{300, "tall", "short"},
                 {200, "tall", "short"},
                 {199, "short", "tall"},
                 {20, "short", "tall"}};
    for (const auto& c : cases) {
        const Node choice = firstThatFits({box(100, 200).id("tall"), box(100, 50).id("short")});
        const Layout layout(choice, environment(), {100.0, c.height});
        ASSERT_NE(layout.find(QString::fromLatin1(c.chosen)), nullptr) << c.height;
        EXPECT_EQ(layout.find(QString::fromLatin1(c.left)), nullptr) << c.height;
    }
}

TEST_F(LayoutTest, FirstBaselineAlignsASymbolWithAText) {
    const Node row = hstack({symbol("drop").font({TextStyle::callout}).id("symbol"),
                             verbatim("Hydrate").font({TextStyle::largeTitle}).id("text")},
                            VerticalAlignment::firstTextBaseline, 8);
    const Layout layout(row, environment(), {});
    const Element* symbolElement = layout.find(u"symbol");
    const Element* textElement = layout.find(u"text");
    ASSERT_TRUE(symbolElement && textElement && symbolElement->firstBaseline &&
                textElement->firstBaseline);
    const double symbolBaseline = symbolElement->frame.top() + *symbolElement->firstBaseline;
    const double textBaseline = textElement->frame.top() + *textElement->firstBaseline;
    EXPECT_NEAR(symbolBaseline, textBaseline, 1e-9);
    EXPECT_GT(symbolElement->frame.top(), textElement->frame.top()); // the small symbol sits lower
    EXPECT_EQ(layout.root().firstBaseline, textBaseline);
}

TEST_F(LayoutTest, BackgroundsAndOverlaysTakeTheirContentsFrame) {
    const Node badge = box(32, 32)
                           .id("button")
                           .overlay(box(8, 8).id("dot"), Alignment::topTrailing())
                           .background(fill(Shape::circle(), Color::primary()).id("fill"));
    const Layout layout(badge.padding(10), environment(), {});
    EXPECT_EQ(layout.frame(u"fill"), QRectF(10, 10, 32, 32));
    EXPECT_EQ(layout.frame(u"dot"), QRectF(34, 10, 8, 8));
    EXPECT_EQ(layout.size(), QSizeF(52, 52));
}

TEST_F(LayoutTest, NegativePaddingLetsContentReachOutside) {
    const Layout layout(box(40, 40).id("box").padding({-4, -4, -4, -4}), environment(), {});
    EXPECT_EQ(layout.size(), QSizeF(32, 32));
    EXPECT_EQ(layout.frame(u"box"), QRectF(-4, -4, 40, 40));
}

TEST_F(LayoutTest, ScrollViewShowsAWindowOfTallContent) {
    const Node content = vstack({box(100, 300).id("tall")});
    const Layout layout(scrollView(content).id("scroll"), environment(), {100.0, 120.0});
    EXPECT_EQ(layout.frame(u"scroll"), QRectF(0, 0, 100, 120));
    EXPECT_EQ(layout.frame(u"tall").height(), 300);
    const Layout roomy(scrollView(content), environment(), {100.0, 500.0});
    EXPECT_EQ(roomy.size().height(), 300);
}

TEST_F(LayoutTest, IdentityIsTheStructuralPathOrTheExplicitId) {
    const Layout layout(vstack({box(1, 1), hstack({box(1, 1), box(1, 1).id("named")})}),
                        environment(), {});
    const Element& stack = layout.root();
    ASSERT_EQ(stack.children.size(), 2u);
    EXPECT_EQ(stack.children[0].identity, QStringLiteral("/0"));
    EXPECT_EQ(layout.find(u"named")->identity, QStringLiteral("/1/#named"));
}

TEST_F(LayoutTest, EnvironmentOverridesReachOnlyTheirSubtree) {
    const Node tree = vstack(
        {verbatim("a").id("plain"), verbatim("b").id("dark").environment(
                                        [](Environment& env) { env.scheme = ColorScheme::dark; })});
    const Layout layout(tree, environment(), {});
    EXPECT_EQ(layout.find(u"plain")->env().scheme, ColorScheme::light);
    EXPECT_EQ(layout.find(u"dark")->env().scheme, ColorScheme::dark);
}

// A key as a kit declares one, beside its own types.
const EnvironmentKey<QString> greetingKey{QStringLiteral("fallback")};

Node greeting(QString id) {
    return withEnvironment(
               [id](const Environment& env) { return verbatim(env.value(greetingKey)); })
        .id(std::move(id));
}

TEST_F(LayoutTest, DeclaredKeysFallBackAndAreOverriddenPerSubtree) {
    const Node tree = vstack({greeting("plain"), greeting("set").environment(greetingKey, "set"),
                              vstack({greeting("inner")}).environment(greetingKey, "outer")});
    const Layout layout(tree, environment(), {});
    auto shown = [&](QStringView id) {
        return firstInside(*layout.find(id), [](const Element& e) { return !e.text.isEmpty(); })
            ->text;
    };
    EXPECT_EQ(shown(u"plain"), "fallback");
    EXPECT_EQ(shown(u"set"), "set");
    EXPECT_EQ(shown(u"inner"), "outer");

    // A copy of the key names the same value; another key of the same type does not.
    const EnvironmentKey<QString> copy = greetingKey;
    const EnvironmentKey<QString> other{QStringLiteral("other")};
    Environment env = environment();
    env.set(greetingKey, "root");
    EXPECT_EQ(env.value(copy), "root");
    EXPECT_EQ(env.value(other), "other");
    env.set(copy, "again");
    EXPECT_EQ(env.value(greetingKey), "again");
}

} // namespace
