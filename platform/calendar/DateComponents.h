#pragma once

namespace DewlightPlatform {

// Wall-clock fields of a moment in one calendar's time zone. Months and days count from 1,
// `weekday` runs from 1 (Sunday) to 7 (Saturday), `era` is 1 for AD and 0 for BC with `year`
// counted within the era. `weekday` is filled by `Calendar::components` and ignored when a
// moment is built.
struct DateComponents {
    int era = 1;
    int year = 1;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 0;

    bool operator==(const DateComponents&) const = default;
};

} // namespace DewlightPlatform
