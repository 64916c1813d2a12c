// Rebuilds matched by identity: what survives, what appears and disappears, what changed.
#include "HostFixture.h"
#include "ui/Controls.h"

using namespace ui;

namespace {

TEST_F(HostTest, HoverAndFocusSurviveARebuildThatChangesUnrelatedText) {
    QString status = "Working";
    std::vector<bool> hovers;
    auto host = makeHost([&] {
        return vstack({verbatim(status), button(verbatim("Preferences"), [] {})
                                             .onHover([&](bool on) { hovers.push_back(on); })
                                             .id("prefs")},
                      HorizontalAlignment::leading);
    });
    move(*host, centre(*host, u"prefs"));
    key(*host, Qt::Key_Tab);
    const QString focused = host->focusedIdentity();
    ASSERT_FALSE(focused.isEmpty());

    status = "Paused";
    host->rebuild();
    host->rebuild();
    EXPECT_EQ(host->focusedIdentity(), focused);
    EXPECT_EQ(hovers, (std::vector<bool>{true}));
}

TEST_F(HostTest, ANodeLeavingTheTreeGetsItsDisappearHandlerOnce) {
    bool shown = true;
    int appeared = 0, disappeared = 0, otherDisappeared = 0;
    auto host = makeHost([&] {
        std::vector<Node> children{
            verbatim("Stays").onDisappear([&] { ++otherDisappeared; }).id("stays")};
        if (shown)
            children.push_back(verbatim("Card")
                                   .onAppear([&] { ++appeared; })
                                   .onDisappear([&] { ++disappeared; })
                                   .id("card"));
        return vstack(children);
    });
    EXPECT_EQ(appeared, 1); // when the window came on screen
    shown = false;
    host->rebuild();
    host->rebuild();
    EXPECT_EQ(disappeared, 1);
    shown = true;
    host->rebuild();
    EXPECT_EQ(appeared, 2);
    EXPECT_EQ(otherDisappeared, 0);
    host->hide();
    EXPECT_EQ(disappeared, 2);
    EXPECT_EQ(otherDisappeared, 1);
}

TEST_F(HostTest, ViewStateIsMadeOnceAndLivesWhileItsNodeStays) {
    bool present = true;
    int made = 0;
    auto host = makeHost([&] {
        if (!present)
            return verbatim("Gone");
        return withState<int>([&] { return ++made * 10; },
                              [](Binding<int> count) {
                                  return button(verbatim(QString::number(count.get())),
                                                [count] { count.set(count.get() + 1); })
                                      .id("counter");
                              });
    });
    auto label = [&] { return host->accessibleNodes().front().label; };
    EXPECT_EQ(label(), "10");
    click(*host, centre(*host, u"counter"));
    settle(); // the state write rebuilt the window
    EXPECT_EQ(label(), "11");
    host->rebuild();
    EXPECT_EQ(label(), "11");
    EXPECT_EQ(made, 1);

    present = false;
    host->rebuild();
    present = true;
    host->rebuild();
    EXPECT_EQ(label(), "20"); // a new node: its state starts again
}

TEST_F(HostTest, ChangeHandlersSeeOldAndNewValues) {
    int value = 1;
    std::vector<std::pair<int, int>> plain, initial;
    auto host = makeHost([&] {
        return verbatim("Count")
            .onChange<int>(value, [&](const int& a, const int& b) { plain.emplace_back(a, b); })
            .onChange<int>(
                value, [&](const int& a, const int& b) { initial.emplace_back(a, b); }, true);
    });
    host->rebuild(); // same value: nothing
    value = 3;
    host->rebuild();
    EXPECT_EQ(plain, (std::vector<std::pair<int, int>>{{1, 3}}));
    EXPECT_EQ(initial, (std::vector<std::pair<int, int>>{{1, 1}, {1, 3}}));
}

TEST_F(HostTest, FocusBindingsFollowTheFocusAndMoveIt) {
    std::optional<QString> focus;
    std::vector<bool> preferencesFocus;
    Host* raw = nullptr;
    Binding<std::optional<QString>> binding([&] { return focus; },
                                            [&](std::optional<QString> value) {
                                                focus = value;
                                                if (raw)
                                                    raw->invalidate();
                                            });
    auto host = makeHost([&] {
        return vstack({button(verbatim("General"), [] {})
                           .focused(FocusBinding::equals(binding, "general"))
                           .onChange<bool>(focus == QString("general"),
                                           [&](const bool&, const bool& now) {
                                               preferencesFocus.push_back(now);
                                           })
                           .id("general"),
                       button(verbatim("Reminders"), [] {})
                           .focused(FocusBinding::equals(binding, "reminders"))
                           .id("reminders")});
    });
    raw = host.get();
    key(*host, Qt::Key_Tab);
    settle();
    EXPECT_EQ(focus, QString("general"));
    key(*host, Qt::Key_Tab);
    settle();
    EXPECT_EQ(focus, QString("reminders"));
    EXPECT_EQ(preferencesFocus, (std::vector<bool>{true, false}));

    // The view asks for focus by writing the binding.
    binding.set(QString("general"));
    settle();
    EXPECT_TRUE(host->focusedIdentity().startsWith(host->layout()->find(u"general")->identity));
    binding.set(std::nullopt);
    settle();
    EXPECT_TRUE(host->focusedIdentity().isEmpty());
}

TEST_F(HostTest, IdealSizeFollowsTheProposedWidth) {
    auto host = makeHost([&] {
        return verbatim("A range, not a goal. Reminders come only during your working hours.")
            .padding(16);
    });
    const QSizeF wide = host->idealSize(std::nullopt);
    const QSizeF narrow = host->idealSize(160);
    EXPECT_GT(wide.width(), 160);
    EXPECT_LE(narrow.width(), 160);
    EXPECT_GT(narrow.height(), wide.height());
}

TEST_F(HostTest, ARunningAnimationSurvivesARebuild) {
    double now = 0;
    double target = 0;
    auto env = environment();
    Host host(
        [&] { return verbatim("Bar").animatedOpacity(target, Animation::linear(1)).id("bar"); },
        env, nullptr, [&] { return now; });
    host.resize(100, 40);
    QImage image(100, 40, QImage::Format_ARGB32_Premultiplied);
    auto paint = [&] {
        image.fill(Qt::transparent);
        host.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    };
    paint();
    target = 1;
    host.rebuild();
    paint(); // starts the transition at 0
    now = 0.5;
    host.rebuild(); // an unrelated rebuild keeps it running
    paint();
    int half = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            half = std::max(half, qAlpha(image.pixel(x, y)));
    EXPECT_GT(half, 80);
    EXPECT_LT(half, 180);
}

const EnvironmentKey<int> levelKey{0};

TEST_F(HostTest, DeclaredKeysSetAtTheRootSurviveRebuilds) {
    std::vector<std::pair<int, int>> reads; // (root's, subtree's) per build
    auto host = makeHost([&] {
        auto root = std::make_shared<int>(-1);
        return vstack({withEnvironment([&, root](const Environment& env) {
                           *root = env.value(levelKey);
                           return verbatim("root");
                       }),
                       withEnvironment([&, root](const Environment& env) {
                           reads.emplace_back(*root, env.value(levelKey));
                           return verbatim("subtree");
                       }).environment(levelKey, 2)});
    });
    Environment env = environment();
    env.set(levelKey, 1);
    host->setEnvironment(env);
    host->rebuild();
    ASSERT_GE(reads.size(), 3u);
    EXPECT_EQ(reads.front(), std::make_pair(0, 2)); // nothing at the root yet: the fallback
    EXPECT_EQ(reads[reads.size() - 2], std::make_pair(1, 2));
    EXPECT_EQ(reads.back(), std::make_pair(1, 2));
}

Node block(double width, double height) {
    return fill(Shape::rectangle(), Color::black()).frame(width, height);
}

TEST_F(HostTest, GeometryReportsComeOncePerChangedFrameInTheNamedSpace) {
    double above = 20;
    std::vector<QRectF> inRow, inWindow;
    std::vector<QSizeF> sizes;
    auto host = makeHost([&] {
        const Node measured =
            block(40, 10)
                .onGeometryChange("row", [&](const QRectF& f) { inRow.push_back(f); })
                .onGeometryChange({}, [&](const QRectF& f) { inWindow.push_back(f); })
                .onSizeChange([&](const QSizeF& s) { sizes.push_back(s); });
        const Node row = hstack({block(30, 10), measured}, VerticalAlignment::top, 5)
                             .padding(7)
                             .coordinateSpace("row")
                             // The nearest ancestor of the name counts, not an outer one.
                             .padding(3)
                             .coordinateSpace("row");
        return vstack({block(10, above), row}, HorizontalAlignment::leading, 0)
            .frame({.maxWidth = infinity,
                    .maxHeight = infinity,
                    .alignment = Alignment::topLeading()});
    });
    ASSERT_EQ(inRow.size(), 1u);
    EXPECT_EQ(inRow.front(), QRectF(42, 7, 40, 10));
    EXPECT_EQ(inWindow.front(), QRectF(45, 30, 40, 10));
    EXPECT_EQ(sizes, (std::vector<QSizeF>{{40, 10}}));

    // The same layout again, by a rebuild or by a resize that moves nothing: no report.
    host->rebuild();
    host->rebuild();
    host->resize(300, 200);
    EXPECT_EQ(inRow.size(), 1u);
    EXPECT_EQ(inWindow.size(), 1u);

    // The row moves down: the frame in the window changes, the frame in the row and the size
    // do not.
    above = 50;
    host->rebuild();
    host->rebuild();
    EXPECT_EQ(inRow.size(), 1u);
    EXPECT_EQ(inWindow, (std::vector<QRectF>{{45, 30, 40, 10}, {45, 60, 40, 10}}));
    EXPECT_EQ(sizes.size(), 1u);
}

} // namespace
