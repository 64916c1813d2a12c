#include "app/UpdateNotifierAdapter.h"

#include "platform/storage/LocalUserDefaults.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using DewlightApp::UpdateNotifierAdapter;
using DewlightPlatform::LocalUserDefaults;
using DewlightUpdates::UpdateChecker;

namespace {

constexpr double t0 = 800'000'000;

// Answers every fetch with a manifest naming 1.5.
class FixedFeed final : public DewlightUpdates::UpdateFeed {
public:
    QCoro::Task<QByteArray> fetch() override {
        ++fetches;
        co_return QByteArray(R"({"format":1,"apps":{"dewlight":"1.5"}})");
    }
    int fetches = 0;
};

void settle() {
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
}

TEST(UpdateNotifierAdapterTest, ThePanelSeesTheCheckersOfferAndReachesTheChecker) {
    LocalUserDefaults defaults;
    auto feed = std::make_shared<FixedFeed>();
    UpdateNotifierAdapter notifier(
        std::make_unique<UpdateChecker>("dewlight", "1.4", feed, defaults, [] { return t0; }));
    int announced = 0;
    QObject::connect(&notifier, &KestraUI::UpdateNotifier::availableChanged, [&] { ++announced; });
    EXPECT_FALSE(notifier.available());

    notifier.checkIfDue();
    settle();
    EXPECT_EQ(feed->fetches, 1);
    const auto offer = notifier.available();
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->version, "1.5");
    EXPECT_EQ(offer->download, notifier.checker().downloadURL());
    EXPECT_EQ(announced, 1);

    notifier.setAside();
    EXPECT_FALSE(notifier.available());
    EXPECT_EQ(announced, 2);
    notifier.setAside(); // nothing left to set aside: no change to announce
    EXPECT_EQ(announced, 2);
}

} // namespace
