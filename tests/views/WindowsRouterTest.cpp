// The window router: each request is taken once on the next turn, only the last of a turn counts,
// nothing opens over unavailable data, an open window is shown again, and a gone model stops it.
#include "ViewsFixture.h"
#include "kit/windows/AppWindows.h"
#include "views/RozivWindows.h"
#include "views/SettingsCard.h"

#include <QPointer>

using namespace DewlightViews;
using DewlightTest::RecordingViewModel;

namespace {

// The model as the router sees it: a destination that announces its changes, the data flag and
// a view model to show.
class FakeRequests final : public RozivWindowRequests {
public:
    std::optional<RozivDestination> destination() const override { return destination_; }
    void setDestination(std::optional<RozivDestination> destination) override {
        if (destination_ == destination)
            return;
        destination_ = destination;
        ++changes;
        for (const auto& [context, handler] : handlers_)
            if (context)
                handler();
    }
    bool dataUnavailable() const override { return unavailable; }
    DewlightViewModel& viewModel() override { return model; }
    QMetaObject::Connection onDestinationChanged(QObject* context,
                                                 std::function<void()> handler) override {
        handlers_.emplace_back(context, std::move(handler));
        return {};
    }

    bool unavailable = false;
    int changes = 0;
    RecordingViewModel model;

private:
    std::optional<RozivDestination> destination_;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> handlers_;
};

class WindowsRouterTest : public ViewsTest {
protected:
    WindowsRouterTest() : preferences(keyed()), welcome(keyed()) {}

    std::unique_ptr<RozivWindows> route(ui::Localizer localize = {}) {
        return std::make_unique<RozivWindows>(std::weak_ptr<RozivWindowRequests>(requests),
                                              preferences, welcome, std::move(localize));
    }
    bool preferencesShown() const {
        auto* window = preferences.shared().window();
        return window && window->isVisible();
    }
    bool welcomeShown() const {
        auto* window = welcome.shared().window();
        return window && window->isVisible();
    }

    std::shared_ptr<FakeRequests> requests = std::make_shared<FakeRequests>();
    mutable KestraUI::PreferencesWindow preferences;
    mutable KestraUI::WelcomeStepsWindow welcome;
};

TEST_F(WindowsRouterTest, ARequestOpensItsWindowOnTheNextTurnAndIsTakenBack) {
    const auto router = route([](const QString& key, const auto&) { return key + " (de)"; });
    requests->setDestination(RozivDestination::preferences);
    EXPECT_FALSE(preferencesShown()); // not inside the setter
    settle();
    EXPECT_TRUE(preferencesShown());
    EXPECT_FALSE(welcomeShown());
    EXPECT_EQ(requests->destination(), std::nullopt);
    EXPECT_EQ(preferences.shared().window()->windowTitle(), "Preferences (de)");
    // The window shows the model's settings card.
    EXPECT_NE(
        preferences.shared().window()->host().layout()->find(QString(SettingsCardStyle::eraseId)),
        nullptr);

    requests->setDestination(RozivDestination::welcome);
    settle();
    EXPECT_TRUE(welcomeShown());
    EXPECT_EQ(welcome.shared().window()->windowTitle(), "Dewlight");
    EXPECT_EQ(requests->destination(), std::nullopt);
    EXPECT_TRUE(requests->model.sent.empty()); // opening sends nothing
}

TEST_F(WindowsRouterTest, OnlyTheLastRequestOfATurnOpens) {
    const auto router = route();
    requests->setDestination(RozivDestination::preferences);
    requests->setDestination(RozivDestination::welcome);
    settle();
    EXPECT_FALSE(preferencesShown());
    EXPECT_TRUE(welcomeShown());
    EXPECT_EQ(requests->destination(), std::nullopt);
    EXPECT_EQ(requests->changes, 3); // two requests and one reset
}

TEST_F(WindowsRouterTest, ARequestWhileTheDataIsUnavailableIsDropped) {
    const auto router = route();
    requests->unavailable = true;
    requests->setDestination(RozivDestination::welcome);
    settle();
    EXPECT_FALSE(welcomeShown());
    EXPECT_EQ(requests->destination(), std::nullopt);

    // Dropped, not deferred: the data coming back opens nothing by itself.
    requests->unavailable = false;
    settle();
    EXPECT_FALSE(welcomeShown());
    requests->setDestination(RozivDestination::welcome);
    settle();
    EXPECT_TRUE(welcomeShown());
}

TEST_F(WindowsRouterTest, ASecondRequestShowsTheOpenWindowAgain) {
    const auto router = route();
    requests->setDestination(RozivDestination::preferences);
    settle();
    KestraUI::FixedNativeWindow* first = preferences.shared().window();
    ASSERT_NE(first, nullptr);
    requests->setDestination(RozivDestination::preferences);
    settle();
    EXPECT_EQ(preferences.shared().window(), first);
    EXPECT_EQ(requests->destination(), std::nullopt);

    // Closed and asked for again: the same window comes back.
    first->close();
    settle();
    EXPECT_FALSE(preferencesShown());
    requests->setDestination(RozivDestination::preferences);
    settle();
    EXPECT_TRUE(preferencesShown());
    EXPECT_EQ(preferences.shared().window(), first);
}

TEST_F(WindowsRouterTest, ARequestMadeBeforeTheRouterIsServed) {
    requests->setDestination(RozivDestination::welcome);
    const auto router = route();
    settle();
    EXPECT_TRUE(welcomeShown());
    EXPECT_EQ(requests->destination(), std::nullopt);
}

TEST_F(WindowsRouterTest, NothingOpensOnceTheModelOrTheRouterIsGone) {
    {
        const auto router = route();
        requests->setDestination(RozivDestination::preferences);
        auto model = std::move(requests); // the pending pass finds no model
        model.reset();
        settle();
        EXPECT_FALSE(preferencesShown());
    }
    requests = std::make_shared<FakeRequests>();
    auto router = route();
    requests->setDestination(RozivDestination::welcome);
    router.reset(); // the pending pass goes with the router
    settle();
    EXPECT_FALSE(welcomeShown());
    EXPECT_EQ(requests->destination(), RozivDestination::welcome);
}

// The windows outlive the model: once it is gone they show nothing rather than a dangling model.
TEST_F(WindowsRouterTest, AnOpenWindowShowsNothingOnceTheModelIsGone) {
    const auto router = route();
    requests->setDestination(RozivDestination::preferences);
    settle();
    ASSERT_TRUE(preferencesShown());
    requests.reset();
    ui::Host& host = preferences.shared().window()->host();
    host.rebuild();
    settle();
    EXPECT_EQ(host.layout()->find(QString(SettingsCardStyle::eraseId)), nullptr);
}

} // namespace
