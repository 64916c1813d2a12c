#include "core/ReminderPlanner.h"

#include "core/HydrationRange.h"
#include "core/ReminderInterval.h"
#include "core/WorkdayResolver.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

namespace DewlightCore {

namespace {

constexpr std::array<ReminderPhrase, 4> rotation{
    ReminderPhrase::timeForRoziv,
    ReminderPhrase::smallPause,
    ReminderPhrase::aSipCounts,
    ReminderPhrase::rozivMoment,
};

// The day's share of the phrase rotation: year × 372 + month × 31 + day of the window's start
// in the user's calendar, so neighbouring days start the rotation at different phrases.
std::int64_t dayRotationBase(const Workday& day, const Calendar& calendar) {
    const auto fields = calendar.components(day.start());
    if (!fields)
        return 0;
    return std::int64_t{fields->year} * 372 + std::int64_t{fields->month} * 31 + fields->day;
}

ReminderPhrase rotatingPhrase(std::int64_t dayBase, Date moment, const Workday& day,
                              double baseStep) {
    // Slots count base intervals even on a day whose step has doubled, so the rotation keeps
    // its pace with the clock.
    const auto slot = static_cast<std::int64_t>((moment - day.start()) / baseStep);
    // The lowest two bits of the two's-complement sum: 0 to 3 for a negative sum too.
    const auto index =
        (static_cast<std::uint64_t>(dayBase) + static_cast<std::uint64_t>(slot)) & 3U;
    return rotation[index];
}

} // namespace

std::string ReminderPlanner::reminderIdentity(WorkdayID workday, Date moment) {
    return "roziv." + std::to_string(std::bit_cast<std::uint64_t>(workday.civilDate())) + "." +
           std::to_string(std::bit_cast<std::uint64_t>(moment));
}

ReminderPlan ReminderPlanner::plan(const Request& request) {
    const auto& [settings, ledger, account, now, calendar, permission, planningAllowed,
                 postponement, horizonEnd, maximumItems] = request;
    DateRule::check(now);
    DateRule::check(horizonEnd);
    if (!(horizonEnd > now) || horizonEnd - now > longestHorizon)
        throw DomainError::invalidPlan();
    if (maximumItems < 1 || maximumItems > largestPlan)
        throw DomainError::invalidPlan();

    ReminderPlan plan{.items = {}, .requestedHorizonEnd = horizonEnd, .truncated = false};
    if (!settings.remindersEnabled() || permission != NotificationPermission::authorized ||
        !planningAllowed)
        return plan;

    const HydrationRange range(settings);
    const std::int64_t minimumQuarters = 4 * range.minimumCups();
    const std::int64_t maximumQuarters = 4 * range.maximumCups();
    const double baseStep = seconds(settings.interval());
    const auto limit = static_cast<std::size_t>(maximumItems);

    for (Workday day = WorkdayResolver::workdayAtOrBefore(now, settings, calendar);
         day.start() < horizonEnd;
         day = WorkdayResolver::workdayAfter(day.start(), settings, calendar)) {
        const std::vector<DrinkRecord> drinks = ledger.activeDrinks(day.id());
        std::int64_t dayQuarters = 0;
        for (const auto& drink : drinks)
            dayQuarters += quarters(drink.kind());
        if (dayQuarters > maximumQuarters)
            continue;

        const DrinkRecord* last = drinks.empty() ? nullptr : &drinks.back();
        const double step = dayQuarters < minimumQuarters ? baseStep : 2 * baseStep;
        Date moment = (last ? std::max(last->timestamp(), day.start()) : day.start()) + step;
        if (postponement &&
            postponement->matches(day.id(), last ? std::optional(last->id()) : std::nullopt))
            moment = postponement->until();

        const std::int64_t dayBase = dayRotationBase(day, calendar);
        std::optional<bool> lastOfWeek;
        for (; moment < day.end(); moment += step) {
            const bool lastSlot = moment + step >= day.end();
            if (!(moment > now && moment < horizonEnd))
                continue;
            if (plan.items.size() == limit) {
                plan.truncated = true;
                return plan;
            }
            if (lastSlot && !lastOfWeek)
                lastOfWeek = WorkdayResolver::isLastWorkdayOfWeek(day, settings, calendar);
            const ReminderPhrase phrase = lastSlot && *lastOfWeek
                                              ? ReminderPhrase::weekComplete
                                              : rotatingPhrase(dayBase, moment, day, baseStep);
            ReminderPayload payload(account, ledger.generation(), day.id(),
                                    Identity<ReminderTag>(reminderIdentity(day.id(), moment)),
                                    moment);
            const bool oneHour = last && moment - last->timestamp() == 3600.0;
            plan.items.push_back({std::move(payload), phrase, oneHour});
        }
    }
    return plan;
}

} // namespace DewlightCore
