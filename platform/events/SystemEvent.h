#pragma once

namespace DewlightPlatform {

// The system events the model catches up with.
enum class SystemEvent {
    wake,            // the machine woke from sleep
    becameActive,    // the application became the active one
    clockChanged,    // the wall clock was set
    timeZoneChanged, // the system time zone changed
    identityChanged, // the sync account's identity changed
};

} // namespace DewlightPlatform
