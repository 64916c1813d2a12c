#pragma once

namespace DewlightPlatform {

// A moment: seconds since 2001-01-01 00:00:00 UTC, fraction allowed. Every stored and sent date
// uses this reference, so values written by one machine read the same on another.
using Date = double;

// 2001-01-01 00:00:00 UTC counted from 1970-01-01 00:00:00 UTC.
inline constexpr double secondsFrom1970To2001 = 978307200.0;

} // namespace DewlightPlatform
