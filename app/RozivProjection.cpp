#include "app/RozivProjection.h"

#include "core/CountingDayResolver.h"
#include "core/DomainError.h"
#include "core/HydrationRange.h"
#include "core/PanelProjection.h"
#include "core/RawEnum.h"
#include "core/WorkdayResolver.h"
#include "kit/panel/LoginItem.h"
#include "reminders/RozivReminders.h"
#include "storage/PreferenceSync.h"
#include "storage/RozivAccountData.h"
#include "storage/RozivPreferences.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace DewlightApp {

using namespace DewlightCore;
using namespace DewlightViews;
using DewlightStorage::ApplicationIssue;
using DewlightStorage::RozivPreferenceFailure;

namespace {

// One table per mapping from the core's and the services' cases to what the views show.
template <class From, class To, std::size_t N>
constexpr To mapped(const std::array<std::pair<From, To>, N>& table, From value) {
    for (const auto& [from, to] : table)
        if (from == value)
            return to;
    return table[0].second; // unreachable: every table lists every case
}

constexpr std::array<std::pair<NotificationPermission, RozivPermissionState>, 3> permissions{{
    {NotificationPermission::notDetermined, RozivPermissionState::notAsked},
    {NotificationPermission::authorized, RozivPermissionState::allowed},
    {NotificationPermission::denied, RozivPermissionState::denied},
}};

constexpr std::array<std::pair<PanelMoment, RozivMoment>, 3> moments{{
    {PanelMoment::fourthSip, RozivMoment::fourSips},
    {PanelMoment::threeCupsInHour, RozivMoment::threeGlassesInHour},
    {PanelMoment::rangeExceeded, RozivMoment::aboveRange},
}};

constexpr std::array<std::pair<MenuIcon, std::string_view>, 3> menuSymbols{{
    {MenuIcon::filled, "drop.fill"},
    {MenuIcon::outline, "drop"},
    {MenuIcon::permissionWarning, "exclamationmark.triangle.fill"},
}};

constexpr std::array<std::pair<DrinkKind, RozivUndoState::Drink>, 2> undoDrinks{{
    {DrinkKind::cup, RozivUndoState::Drink::glass},
    {DrinkKind::sip, RozivUndoState::Drink::sip},
}};

// Views number days Monday 1 to Sunday 7; a weekday's raw value counts from Sunday 1.
std::int64_t viewDay(Weekday weekday) {
    return (rawValue(weekday) + 5) % 7 + 1;
}

std::optional<RozivMoment> viewMoment(std::optional<PanelMoment> moment) {
    if (!moment)
        return std::nullopt;
    return mapped(moments, *moment);
}

// The problem the user should act on, before the clock is looked at.
std::optional<RozivProblem> problemOf(const DewlightStorage::RozivAccountData& data,
                                      const DewlightStorage::RozivPreferences& preferences) {
    const auto* store = preferences.store();
    const auto* failures = store ? &store->session->failures() : nullptr;
    if (data.transaction().issue() == ApplicationIssue::storage ||
        (failures && failures->contains(RozivPreferenceFailure::notSaved)))
        return RozivProblem::storage;
    if (failures && failures->contains(RozivPreferenceFailure::invalidSettings))
        return RozivProblem::settings;
    return std::nullopt;
}

RozivCloudState cloudOf(const DewlightStorage::RozivAccountData& data,
                        const DewlightStorage::RozivPreferences& preferences) {
    if (!data.session().cloudAvailable)
        return RozivCloudState::localOnly;
    if (data.cloud().state() != DewlightStorage::CloudStorage::State::healthy)
        return RozivCloudState::failed;
    if (const auto* store = preferences.store(); store && store->session->sync().issue())
        return RozivCloudState::failed;
    return data.fence().isOpen() ? RozivCloudState::available : RozivCloudState::failed;
}

RozivPanelStatus statusOf(const PanelStatus& status, Date now, const RozivSettings& settings,
                          const Calendar& calendar) {
    switch (status.kind()) {
    case PanelStatus::Case::failure:
        return RozivPanelStatus::failed();
    case PanelStatus::Case::nextReminder:
        return RozivPanelStatus::scheduled(*status.reminderDate());
    case PanelStatus::Case::welcomeRequired:
        return RozivPanelStatus::preparing();
    case PanelStatus::Case::remindersOff:
        return RozivPanelStatus::off();
    case PanelStatus::Case::permissionRequired:
        return RozivPanelStatus::permission();
    case PanelStatus::Case::outsideWorkday:
        try {
            return RozivPanelStatus::outside(
                WorkdayResolver::workdayAfter(now, settings, calendar).start());
        } catch (const DomainError&) {
            return RozivPanelStatus::failed();
        }
    case PanelStatus::Case::rangeExceeded:
        return RozivPanelStatus::enough();
    case PanelStatus::Case::scheduling:
        return RozivPanelStatus::preparing();
    }
    return RozivPanelStatus::failed();
}

// "Snoozed" only while the postponement still moves the day's reminders: the planner honours it
// only for the day it was made on and while no drink came after it, so a stale one (yesterday's,
// or one a drink has overtaken) must not claim to hold the next reminder back.
bool isSnoozed(const DewlightReminders::RozivReminders& reminders, const PanelStatus& status,
               const HydrationLedger& ledger, std::optional<WorkdayID> countingDay) {
    const auto& postponement = reminders.postponement();
    const auto next = reminders.confirmedNext();
    if (!postponement || !next || *next < postponement->until() ||
        status.kind() != PanelStatus::Case::nextReminder || !countingDay)
        return false;
    const auto latest = ledger.latestDrink(*countingDay);
    return postponement->matches(*countingDay, latest ? std::optional(latest->id()) : std::nullopt);
}

} // namespace

RozivPreferencesState preferencesOf(const RozivSettings& settings, bool opensAtLogin,
                                    std::optional<RozivProblem> problem) {
    const HydrationRange range(settings);
    RozivPreferencesState preferences;
    preferences.startMinute = settings.startMinute();
    preferences.endMinute = settings.endMinute();
    for (const Weekday weekday : settings.weekdays())
        preferences.days.insert(viewDay(weekday));
    preferences.glassMilliliters = rawValue(settings.cupVolume());
    preferences.intervalMinutes = rawValue(settings.interval());
    preferences.opensAtLogin = opensAtLogin;
    preferences.lowerRange = range.minimumCups();
    preferences.upperRange = range.maximumCups();
    preferences.isErasing = false;
    preferences.problem = std::move(problem);
    return preferences;
}

RozivProjection::RozivProjection(const DewlightStorage::RozivAccountData& data,
                                 const DewlightStorage::RozivPreferences& userPreferences,
                                 const DewlightReminders::RozivReminders& reminders,
                                 const RozivFeedback& feedback,
                                 const KestraUI::LoginItem& loginItem, Date now,
                                 const Calendar& calendar)
    : menuSymbol(mapped(menuSymbols, MenuIcon::outline)) {
    const RozivSettings& settings = userPreferences.current();
    const HydrationRange range(settings);
    const auto permission = mapped(permissions, reminders.permission());
    const auto& state = data.transaction().state();
    const HydrationLedger& ledger = state.ledger;
    const auto stored = problemOf(data, userPreferences);
    auto problem = stored;

    panel.status = RozivPanelStatus::preparing();
    panel.remindersEnabled = settings.remindersEnabled();
    panel.quarters = 0;
    panel.lowerRange = range.minimumCups();
    panel.upperRange = range.maximumCups();
    panel.canRecord = false;
    panel.highlightsGlass = false;
    panel.undo = std::nullopt;
    panel.groupedAddition = feedback.addition;
    panel.feedbackRevision = feedback.revision;
    panel.moment = viewMoment(feedback.moment);
    panel.problem = problem;
    panel.permission = permission;
    panel.cloud = cloudOf(data, userPreferences);

    std::optional<WorkdayID> countingDay;
    bool clockFailed = false;
    try {
        countingDay = CountingDayResolver::countingDay(now, settings, calendar, ledger);
    } catch (const DomainError&) {
        countingDay = CountingDayResolver::latestWorkday(ledger);
        clockFailed = true;
        problem = RozivProblem::clock;
        panel.problem = problem;
    }

    std::optional<Workday> window;
    try {
        window = WorkdayResolver::workdayAtOrBefore(now, settings, calendar);
    } catch (const DomainError&) {
        // No window to project against: the panel keeps its defaults.
    }

    if (window) {
        std::optional<PanelFailure> failure;
        if (stored == RozivProblem::storage)
            failure = PanelFailure::storage;
        else if (clockFailed)
            failure = PanelFailure::clock;
        else if (reminders.schedulingFailed())
            failure = PanelFailure::scheduling;

        const PanelProjection core({
            .settings = settings,
            .ledger = ledger,
            .workday = *window,
            .now = now,
            .permission = reminders.permission(),
            .welcomeCompleted = state.welcomeCompleted,
            .nextReminder = reminders.confirmedNext(),
            .failure = failure,
            .suppressAnimation = false,
            .countingDay = countingDay,
        });
        panel.quarters = core.quarters();
        panel.canRecord = core.canRecord() && data.isCurrent();
        panel.highlightsGlass = core.highlightCup();
        panel.status = isSnoozed(reminders, core.status(), ledger, countingDay)
                           ? RozivPanelStatus::snoozed(*reminders.confirmedNext())
                           : statusOf(core.status(), now, settings, calendar);
        if (const auto& group = core.undoGroup())
            panel.undo = RozivUndoState{mapped(undoDrinks, group->kind), group->clickCount,
                                        group->firstTimestamp};
        menuSymbol = mapped(menuSymbols, core.menuIcon());
    }

    preferences = preferencesOf(settings, loginItem.enabled(), problem);

    welcome.permission = permission;
    welcome.problem = problem;
}

} // namespace DewlightApp
