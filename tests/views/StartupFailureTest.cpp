// The start-up failure view in a window: its one button retries on every press.
#include "ViewsFixture.h"
#include "views/RozivStartupFailure.h"

using namespace DewlightViews;

namespace {

TEST_F(ViewsTest, StartupFailureRetriesOnEveryPress) {
    int retries = 0;
    auto host = window([&] { return RozivStartupFailure{[&] { ++retries; }}; }, keyed());
    EXPECT_EQ(shownTexts(host->layout()->root()),
              (QStringList{"Dewlight could not start.",
                           "Try again. Your saved data will stay where it is.", "Try again"}));
    const QPointF button = centre(*host, StartupFailurePart::retry);
    click(*host, button);
    settle();
    click(*host, button);
    settle();
    EXPECT_EQ(retries, 2);
    // Return on the focused button retries as well.
    key(*host, Qt::Key_Tab);
    key(*host, Qt::Key_Return);
    EXPECT_EQ(retries, 3);
}

} // namespace
