#pragma once

// The week the tests run in: Monday 2026-01-05 00:00 UTC, the week running Monday to Sunday from
// there. Any Monday at a UTC midnight serves; the zones the tests use keep the same offsets
// through it.
namespace DewlightTesting {

inline constexpr double mondayMidnight = 789264000;
inline constexpr double minute = 60;
inline constexpr double hour = 3600;
inline constexpr double day = 86400;

} // namespace DewlightTesting
