#include "core/PanelProjection.h"

#include "core/HydrationRange.h"

#include <algorithm>

namespace DewlightCore {

namespace {

// The first rule that holds wins, in this order. A range above its upper end is told before the
// next reminder: once the day has had enough, the panel says so even while a reminder that was
// planned earlier is still pending.
PanelStatus statusFor(const RozivSettings& settings, NotificationPermission permission,
                      bool welcomeCompleted, std::optional<PanelFailure> failure, bool inside,
                      bool exceeded, std::optional<Date> nextReminder, Date now,
                      const Workday& workday) {
    if (failure)
        return PanelStatus::failure(*failure);
    if (!welcomeCompleted)
        return PanelStatus::welcomeRequired();
    if (!settings.remindersEnabled())
        return PanelStatus::remindersOff();
    if (permission != NotificationPermission::authorized)
        return PanelStatus::permissionRequired();
    if (!inside)
        return PanelStatus::outsideWorkday();
    if (exceeded)
        return PanelStatus::rangeExceeded();
    if (nextReminder && *nextReminder > now && *nextReminder < workday.end())
        return PanelStatus::nextReminder(*nextReminder);
    return PanelStatus::scheduling();
}

MenuIcon iconFor(const RozivSettings& settings, NotificationPermission permission,
                 bool welcomeCompleted, bool inside) {
    if (!settings.remindersEnabled())
        return MenuIcon::outline;
    if (permission != NotificationPermission::authorized)
        return MenuIcon::permissionWarning;
    if (!inside || !welcomeCompleted)
        return MenuIcon::outline;
    return MenuIcon::filled;
}

} // namespace

PanelProjection::PanelProjection(const Facts& facts)
    : status_(PanelStatus::scheduling()), menuIcon_(MenuIcon::filled) {
    const auto& [settings, ledger, workday, now, permission, welcomeCompleted, nextReminder,
                 failure, suppressAnimation, countingDay] = facts;
    const WorkdayID day = countingDay.value_or(workday.id());
    quarters_ = ledger.quarters(day);
    const HydrationRange range(settings);
    const std::int64_t limit = 4 * range.maximumCups();
    const bool inside = workday.contains(now);
    const bool clockFailed = failure == PanelFailure::clock;

    status_ = statusFor(settings, permission, welcomeCompleted, failure, inside, quarters_ > limit,
                        nextReminder, now, workday);
    menuIcon_ = iconFor(settings, permission, welcomeCompleted, inside);

    if (inside) {
        Date boundary = workday.end();
        if (nextReminder && *nextReminder > now)
            boundary = std::min(boundary, *nextReminder);
        nextBoundary_ = boundary;
    }

    drops_.reserve(static_cast<std::size_t>(range.maximumCups()));
    for (std::int64_t i = 0; i < range.maximumCups(); ++i)
        drops_.push_back({std::clamp<std::int64_t>(quarters_ - 4 * i, 0, 4)});

    canRecord_ = !clockFailed;
    highlightCup_ = inside && !clockFailed && quarters_ <= limit;

    const std::vector<DrinkGroup> groups = ledger.groups(day);
    if (!groups.empty())
        undoGroup_ = groups.back();

    wholeCups_ = quarters_ / 4;
    remainingQuarters_ = quarters_ - 4 * wholeCups_;
    animateDrops_ = !suppressAnimation;
}

} // namespace DewlightCore
