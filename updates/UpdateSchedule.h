#pragma once

#include <variant>

namespace DewlightUpdates {

// When the next look for a newer version is due. Dates are seconds since 2001-01-01 UTC.
struct UpdateSchedule {
    UpdateSchedule() = delete;

    static constexpr double answeredWindow = 1'296'000; // 15 days
    static constexpr double failedWindow = 3'600;       // 1 hour

    // The endpoint answered (a manifest, or a document it could not use) at `at`.
    struct Answered {
        double at;
        bool operator==(const Answered&) const = default;
    };
    // The endpoint could not be reached at `at`.
    struct Failed {
        double at;
        bool operator==(const Failed&) const = default;
    };
    // No answer is known.
    struct Never {
        bool operator==(const Never&) const = default;
    };
    using Last = std::variant<Never, Answered, Failed>;

    // Due unless `now` lies in [t, t + window): a clock set back before t makes it due.
    static bool isDue(const Last& last, double now);
};

} // namespace DewlightUpdates
