#include "platform/events/SystemEvents.h"

namespace DewlightPlatform {

SystemEvents::~SystemEvents() = default;

void SystemEvents::reportIdentityChanged() {
    report(SystemEvent::identityChanged);
}

void SystemEvents::report(SystemEvent event) {
    emit occurred(event);
}

} // namespace DewlightPlatform
