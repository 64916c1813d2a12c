#pragma once

#include "platform/events/SystemEvents.h"

namespace DewlightPlatform {

// System events for tests: nothing is watched; the test posts each event.
class LocalSystemEvents final : public SystemEvents {
    Q_OBJECT
public:
    using SystemEvents::SystemEvents;
    ~LocalSystemEvents() override;

    void post(SystemEvent event) { report(event); }
};

} // namespace DewlightPlatform
