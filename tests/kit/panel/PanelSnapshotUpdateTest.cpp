// Runs only with "--snapshot-update" among the process's arguments (see CMakeLists.txt): the
// panel then offers its own sample update, whatever notifier the application installed.
#include "KitFixture.h"
#include "PanelSample.h"
#include "kit/panel/UpdateCard.h"
#include "kit/brand/KestraSnapshot.h"
#include "tests/support/FakeUpdateNotifier.h"

using namespace KestraUI;
using namespace PanelSample;

namespace {

TEST_F(KitTest, WithSnapshotUpdateThePanelShowsItsSampleAndLeavesTheLiveNotifierAlone) {
    ASSERT_TRUE(KestraSnapshot::contains(QStringLiteral("--snapshot-update")))
        << "this test runs with --snapshot-update";
    FakeUpdateNotifier live;
    live.publish(offer);
    PanelModel model;
    auto host = makeHost(
        [&] {
            return ui::Node(model.panel())
                .environment(UpdateNotifierKey, QPointer<UpdateNotifier>(&live));
        },
        {368, 700});
    EXPECT_NE(findText(host->layout()->root(), "Version 1.1 is here"), nullptr);
    EXPECT_EQ(findText(host->layout()->root(), "Version 1.4 is here"), nullptr);
    EXPECT_EQ(live.checks, 0);

    QPointF notNow;
    for (const auto& node : host->accessibleNodes())
        if (node.label == "Not now")
            notNow = node.frame.center();
    click(*host, notNow);
    settle();
    host->rebuild(); // the sample lives as long as the panel: the offer stays withdrawn
    EXPECT_TRUE(frame(*host, PanelPart::updateCard).isEmpty());
    EXPECT_EQ(live.setAsides, 0);
    EXPECT_TRUE(live.available());
}

} // namespace
