// Fixed windows under the offscreen platform: one resize per turn of size reports, the keys
// that close, editing that Escape ends first, the scrolling form's edge bar, the application's
// windows made once, and the snapshot window that takes no input.
#include "kit/windows/AppWindows.h"
#include "kit/windows/FixedWindow.h"
#include "kit/windows/KestraSnapshotWindow.h"
#include "tests/ui/HostFixture.h"
#include "ui/Controls.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <cmath>

using namespace KestraUI;

namespace {

// Counts the geometry changes a window goes through.
class GeometryCounter : public QObject {
public:
    int resizes = 0;
    int moves = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            ++resizes;
        if (event->type() == QEvent::Move)
            ++moves;
        return false;
    }
};

class FixedWindowTest : public HostTest {
protected:
    static ui::Node block(double width, double height) {
        return ui::fill(ui::Shape::rectangle(), ui::Color::clear()).frame(width, height);
    }
    static QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    static void keyTo(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers);
        QCoreApplication::sendEvent(target, &up);
    }
};

TEST_F(FixedWindowTest, ReportsOfOneTurnCostOneResizeToTheLastSize) {
    FixedWindow fixed(true, true, false, environment());
    FixedNativeWindow* window =
        fixed.show("Welcome", 560, {}, [] { return ui::Node(block(100, 100)); });
    settle();
    // Shown before its size was known: the first resize centres it again.
    fixed.report({500, 200});
    settle();
    EXPECT_EQ(window->frameGeometry().center().y(), available().center().y());

    GeometryCounter counter;
    window->installEventFilter(&counter);
    const int top = window->frameGeometry().top();

    fixed.report({500, 301});
    fixed.report({500, 302});
    EXPECT_TRUE(fixed.resizePending());
    EXPECT_EQ(window->size(), QSize(500, 200)) << "nothing moves within the turn";
    settle();
    EXPECT_FALSE(fixed.resizePending());
    EXPECT_EQ(counter.resizes, 1);
    EXPECT_EQ(window->size(), QSize(500, 304));
    EXPECT_EQ(window->frameGeometry().top(), top) << "a top-anchored window keeps its top edge";
    EXPECT_EQ(fixed.contentSize(), QSizeF(500, 302));

    // Sizes that are not finite and positive are not taken.
    for (const QSizeF bad : {QSizeF(0, 300), QSizeF(500, -1), QSizeF(NAN, 300),
                             QSizeF(500, INFINITY)})
        fixed.report(bad);
    EXPECT_FALSE(fixed.resizePending());
    EXPECT_EQ(fixed.contentSize(), QSizeF(500, 302));

    // Taller than the screen: capped, and still inside it.
    fixed.report({500, 5000});
    settle();
    EXPECT_EQ(window->height(), std::max(available().height() - WindowGeometry::screenMargin, 1));
    EXPECT_TRUE(available().contains(window->frameGeometry()));
    window->close();
}

TEST_F(FixedWindowTest, CtrlWClosesOnlyWithCtrlAloneAndEscapeEndsEditingFirst) {
    int closes = 0;
    QString text = "8";
    FixedWindow fixed(true, true, false, environment());
    FixedNativeWindow* window = fixed.show("Preferences", 560, [&] { ++closes; }, [&] {
        return ui::vstack({ui::textField(text, [&](const QString& now) { text = now; }).id("field"),
                           block(100, 100)});
    });
    settle();
    ASSERT_TRUE(window->isVisible());

    keyTo(&window->host(), Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    keyTo(&window->host(), Qt::Key_W, Qt::ControlModifier | Qt::AltModifier);
    keyTo(&window->host(), Qt::Key_W);
    settle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(closes, 0);
    keyTo(&window->host(), Qt::Key_W, Qt::ControlModifier | Qt::KeypadModifier);
    settle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(closes, 1);

    // Shown again: Escape while the field is being edited only ends the editing.
    fixed.show("Preferences", 560, [&] { ++closes; }, {});
    settle();
    const ui::Element* field = window->host().layout()->find(u"field");
    while (!field->children.empty())
        field = &field->children.front();
    QLineEdit* edit = window->host().lineEdit(field->identity);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    settle();
    ASSERT_TRUE(edit->hasFocus());
    keyTo(edit, Qt::Key_Escape);
    settle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(edit->hasFocus());
    keyTo(&window->host(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(closes, 2);
}

TEST_F(FixedWindowTest, WithoutCtrlWOnlyEscapeCloses) {
    FixedWindow fixed(false, false, false, environment());
    FixedNativeWindow* window = fixed.show("Window", 400, {}, [] { return block(10, 10); });
    settle();
    keyTo(&window->host(), Qt::Key_W, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(window->isVisible());
    keyTo(&window->host(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FixedWindowTest, AWindowIsMadeOnceAndKeepsItsFirstTitleAndContent) {
    std::vector<QString> closed;
    PreferencesWindow preferences(environment());
    preferences.close(); // before any show: nothing to close
    EXPECT_EQ(preferences.shared().window(), nullptr);

    FixedNativeWindow* first = preferences.show("Preferences", true,
                                                [&] { closed.push_back("first"); },
                                                [] { return ui::verbatim("first").id("first"); });
    settle();
    const QPoint placed = first->frameGeometry().topLeft();
    FixedNativeWindow* again = preferences.show("Other", false, [&] { closed.push_back("second"); },
                                                [] { return ui::verbatim("second").id("second"); });
    settle();
    EXPECT_EQ(again, first);
    EXPECT_EQ(first->windowTitle(), "Preferences");
    EXPECT_NE(first->host().layout()->find(u"first"), nullptr);
    EXPECT_EQ(first->frameGeometry().topLeft(), placed) << "a visible window is not moved";
    preferences.close();
    EXPECT_EQ(closed, std::vector<QString>{"second"});
    EXPECT_FALSE(first->isVisible());
    preferences.close(); // closing a closed window tells nobody again
    EXPECT_EQ(closed.size(), 1u);

    // The welcome steps take their size from their content's own reports.
    WelcomeStepsWindow steps(environment());
    FixedNativeWindow* welcome = steps.show("Welcome", {}, [] {
        return ui::withEnvironment([](const ui::Environment& env) {
            if (const auto& window = fixedWindowIdealSize(env))
                window->report({560, 397});
            return ui::verbatim("step");
        });
    });
    settle();
    EXPECT_EQ(welcome->size(), QSize(560, 400));
    steps.close();
    EXPECT_FALSE(welcome->isVisible());
}

TEST_F(FixedWindowTest, TheEdgeBarShowsOnlyWhileTheContentIsScrolled) {
    ui::Environment env = environment();
    env.reduceMotion = true;
    std::vector<QSizeF> reports;
    auto host = std::make_unique<ui::Host>(
        [&] {
            return ui::Node(FixedWindowContent{
                ui::vstack({block(400, 300), block(400, 900)}).background(ui::fill(
                    ui::Shape::rectangle(), ui::Color::fixed(QColor(255, 0, 0)))),
                560, true, [&](QSizeF size) { reports.push_back(size); }});
        },
        env);
    host->resize(560, 400);
    host->show();
    settle();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), QSizeF(400, 1208)) << "the content measured at its ideal size";
    auto barShown = [&] {
        const QImage image = host->grab().toImage();
        return image.pixelColor(200, 10).green() > 100; // the light bar covers the red content
    };
    EXPECT_FALSE(barShown());
    QWheelEvent down(QPointF(200, 200), host->mapToGlobal(QPointF(200, 200)), QPoint(),
                     QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(host.get(), &down);
    settle();
    EXPECT_TRUE(barShown());
    QWheelEvent up(QPointF(200, 200), host->mapToGlobal(QPointF(200, 200)), QPoint(),
                   QPoint(0, 480), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(host.get(), &up);
    settle();
    EXPECT_FALSE(barShown());
}

TEST_F(FixedWindowTest, APresentedViewIsShownFrozenAtTwiceItsSizeAndTakesNoInput) {
    const KestraBrand brand{"Dewlight", QColor(10, 158, 194), KestraBrand::Connection::offline,
                            std::nullopt, std::nullopt};
    KeyableWindow* window = KestraSnapshot::present(
        ui::fill(ui::Shape::rectangle(), ui::Color::fixed(QColor(0, 0, 255))).frame(300, 200),
        brand, false, environment());
    settle();
    EXPECT_EQ(window->size(), QSize(600, 400));
    EXPECT_EQ(window->windowTitle(), "Dewlight Snapshot");
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    const QImage shown = window->grab().toImage();
    EXPECT_EQ(shown.pixelColor(300, 200), QColor(0, 0, 255)) << "the view fills the window";

    // A live control inside the window is never reached.
    int pressed = 0;
    auto* host = new ui::Host(
        [&] { return ui::button(ui::verbatim("Press"), [&] { ++pressed; }).id("button"); },
        environment(), window);
    host->setGeometry(0, 0, 200, 100);
    host->show();
    settle();
    const QPointF at = host->layout()->frame(u"button").center();
    click(*host, at);
    key(*host, Qt::Key_Space);
    settle();
    EXPECT_EQ(pressed, 0);

    // The next presentation replaces the window.
    QPointer<KeyableWindow> first(window);
    KeyableWindow* second = KestraSnapshot::present(ui::Node(block(10, 10)), brand, true,
                                                    environment());
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(second->size(), QSize(20, 20));
    delete second;
}

} // namespace
