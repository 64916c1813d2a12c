#include "app/MacLifecycle.h"

#include "app/IdentityEvents.h"
#include "platform/events/LocalSystemEvents.h"
#include "platform/runtime/EventLoop.h"
#include "platform/storage/LocalIdentityTokenSource.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace DewlightApp;
using DewlightPlatform::LocalSystemEvents;
using DewlightPlatform::runUntilIdle;
using DewlightPlatform::SystemEvent;

namespace {

struct Recorder {
    std::vector<bool> calls;
    MacLifecycle::Handler handler() {
        return [this](bool identityChanged) { calls.push_back(identityChanged); };
    }
};

TEST(MacLifecycle, EachEventReachesTheHandlerOnceOnALaterTurnWithItsFlag) {
    const struct {
        SystemEvent event;
        bool flag;
    } cases[] = {
        {SystemEvent::wake, false},           {SystemEvent::becameActive, false},
        {SystemEvent::clockChanged, false},   {SystemEvent::timeZoneChanged, false},
        {SystemEvent::identityChanged, true},
    };
    for (const auto& c : cases) {
        LocalSystemEvents events;
        Recorder recorder;
        MacLifecycle lifecycle(events, recorder.handler());
        events.post(c.event);
        EXPECT_TRUE(recorder.calls.empty()) << static_cast<int>(c.event);
        runUntilIdle();
        EXPECT_EQ(recorder.calls, std::vector<bool>{c.flag}) << static_cast<int>(c.event);
    }
}

TEST(MacLifecycle, IdentityChangesReportedThroughTheSeamPassTrue) {
    LocalSystemEvents events;
    Recorder recorder;
    MacLifecycle lifecycle(events, recorder.handler());
    DewlightPlatform::LocalIdentityTokenSource tokens;
    // The live services' wiring of the token source.
    DewlightApp::reportIdentityChanges(tokens, events);
    tokens.setToken("account-b");
    runUntilIdle();
    EXPECT_EQ(recorder.calls, std::vector<bool>{true});
}

TEST(MacLifecycle, SameKindEventsInOneTurnAreCoalescedOthersAreNot) {
    LocalSystemEvents events;
    Recorder recorder;
    MacLifecycle lifecycle(events, recorder.handler());
    events.post(SystemEvent::wake);
    events.post(SystemEvent::wake);
    events.post(SystemEvent::identityChanged);
    events.post(SystemEvent::clockChanged);
    events.post(SystemEvent::identityChanged);
    runUntilIdle();
    EXPECT_EQ(recorder.calls, (std::vector<bool>{false, true, false}));
    // A later turn is a new event.
    events.post(SystemEvent::wake);
    runUntilIdle();
    EXPECT_EQ(recorder.calls, (std::vector<bool>{false, true, false, false}));
}

TEST(MacLifecycle, NothingReachesTheHandlerAfterRelease) {
    LocalSystemEvents events;
    Recorder recorder;
    auto lifecycle = std::make_unique<MacLifecycle>(events, recorder.handler());
    events.post(SystemEvent::wake); // delivered on a turn that comes after the release
    lifecycle.reset();
    events.post(SystemEvent::identityChanged);
    runUntilIdle();
    EXPECT_TRUE(recorder.calls.empty());
}

TEST(MacLifecycle, HandlerMayReleaseTheObserver) {
    LocalSystemEvents events;
    std::unique_ptr<MacLifecycle> lifecycle;
    int calls = 0;
    lifecycle = std::make_unique<MacLifecycle>(events, [&](bool) {
        ++calls;
        lifecycle.reset(); // the model's shutdown drops its observers
    });
    events.post(SystemEvent::wake);
    events.post(SystemEvent::clockChanged);
    runUntilIdle();
    EXPECT_EQ(calls, 1);
}

} // namespace
