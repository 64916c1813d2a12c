#pragma once

#include "platform/calendar/Date.h"

#include <cstdint>
#include <optional>
#include <set>

// The values the model publishes for the views, and the actions the views send back. They are
// plain values: no validation, no stored format; equality is all they do.
namespace DewlightViews {

using DewlightPlatform::Date;

// What the reminders are doing now. Three cases carry a date; equality compares the case and,
// for those three, the exact instant.
class RozivPanelStatus {
public:
    enum class Kind { scheduled, snoozed, outside, preparing, off, enough, permission, failed };

    // The next reminder is planned at `at`.
    static RozivPanelStatus scheduled(Date at) { return {Kind::scheduled, at}; }
    // A postponement is in force; `next` is the next confirmed reminder, at or after its end.
    static RozivPanelStatus snoozed(Date next) { return {Kind::snoozed, next}; }
    // Outside the working day; `nextWorkday` is the start of the next one.
    static RozivPanelStatus outside(Date nextWorkday) { return {Kind::outside, nextWorkday}; }
    static RozivPanelStatus preparing() { return {Kind::preparing, 0}; }
    static RozivPanelStatus off() { return {Kind::off, 0}; }
    static RozivPanelStatus enough() { return {Kind::enough, 0}; }
    static RozivPanelStatus permission() { return {Kind::permission, 0}; }
    static RozivPanelStatus failed() { return {Kind::failed, 0}; }

    // The model's default.
    RozivPanelStatus() = default;

    Kind kind() const { return kind_; }
    // The date of `scheduled`, `snoozed` and `outside`; empty for the other cases.
    std::optional<Date> date() const {
        if (kind_ == Kind::scheduled || kind_ == Kind::snoozed || kind_ == Kind::outside)
            return date_;
        return std::nullopt;
    }

    bool operator==(const RozivPanelStatus&) const = default;

private:
    RozivPanelStatus(Kind kind, Date date) : kind_(kind), date_(date) {}

    Kind kind_ = Kind::preparing;
    Date date_ = 0; // 0 for the cases without a date, so that equality ignores it
};

// The most recent click group of the counting day, as undo would remove it.
struct RozivUndoState {
    // A glass is the core's cup kind.
    enum class Drink { glass, sip };

    Drink drink = Drink::glass;
    std::int64_t count = 1; // clicks in the group
    Date firstClick = 0;    // the group's first click

    bool operator==(const RozivUndoState&) const = default;
};

// The once-a-day remark shown with the feedback of a drink.
enum class RozivMoment { fourSips, threeGlassesInHour, aboveRange };

// The failure the user should act on.
enum class RozivProblem { storage, reminders, settings, login, clock };

// The notification permission as the views show it.
enum class RozivPermissionState { notAsked, allowed, denied };

// Where the data lives and whether the sync works.
enum class RozivCloudState { syncing, available, localOnly, failed };

// The menu panel's state.
struct RozivPanelState {
    RozivPanelStatus status;
    bool remindersEnabled = false;
    std::int64_t quarters = 0;   // quarter glasses of the counting day; a glass is 4, a sip 1
    std::int64_t lowerRange = 1; // the day's minimum in whole glasses
    std::int64_t upperRange = 1; // the day's maximum in whole glasses
    bool canRecord = false;
    bool highlightsGlass = false;
    std::optional<RozivUndoState> undo;
    std::int64_t groupedAddition = 0;  // clicks of the group just recorded; 0 without feedback
    std::int64_t feedbackRevision = 0; // changes on every recorded drink
    std::optional<RozivMoment> moment;
    std::optional<RozivProblem> problem;
    RozivPermissionState permission = RozivPermissionState::notAsked;
    RozivCloudState cloud = RozivCloudState::localOnly;

    bool operator==(const RozivPanelState&) const = default;
};

// The preferences window's state.
struct RozivPreferencesState {
    std::int64_t startMinute = 0; // minutes after local midnight
    std::int64_t endMinute = 0;
    std::set<std::int64_t> days; // working days, 1 = Monday ... 7 = Sunday
    std::int64_t glassMilliliters = 0;
    std::int64_t intervalMinutes = 0;
    bool opensAtLogin = false;
    std::int64_t lowerRange = 1;
    std::int64_t upperRange = 1;
    bool isErasing = false;
    std::optional<RozivProblem> problem;

    bool operator==(const RozivPreferencesState&) const = default;
};

// The welcome flow's state.
struct RozivWelcomeState {
    RozivPermissionState permission = RozivPermissionState::notAsked;
    std::optional<RozivProblem> problem;

    bool operator==(const RozivWelcomeState&) const = default;
};

// Every request a view makes of the model. The first seven cases carry a value. There is no
// equality on purpose: an action is a request, not a state to compare.
class RozivViewAction {
public:
    enum class Kind {
        reminders,
        startMinute,
        endMinute,
        day,
        glassMilliliters,
        intervalMinutes,
        login,
        drinkGlass,
        drinkSip,
        undo,
        requestNotifications,
        openNotificationSettings,
        retry,
        erase,
        openPreferences,
        openWelcome,
        completeWelcome,
    };

    static RozivViewAction reminders(bool on) { return {Kind::reminders, on ? 1 : 0}; }
    static RozivViewAction startMinute(std::int64_t minute) { return {Kind::startMinute, minute}; }
    static RozivViewAction endMinute(std::int64_t minute) { return {Kind::endMinute, minute}; }
    // Toggles one working day, 1 = Monday ... 7 = Sunday.
    static RozivViewAction day(std::int64_t day) { return {Kind::day, day}; }
    static RozivViewAction glassMilliliters(std::int64_t milliliters) {
        return {Kind::glassMilliliters, milliliters};
    }
    static RozivViewAction intervalMinutes(std::int64_t minutes) {
        return {Kind::intervalMinutes, minutes};
    }
    static RozivViewAction login(bool on) { return {Kind::login, on ? 1 : 0}; }
    static RozivViewAction drinkGlass() { return {Kind::drinkGlass, 0}; }
    static RozivViewAction drinkSip() { return {Kind::drinkSip, 0}; }
    static RozivViewAction undo() { return {Kind::undo, 0}; }
    static RozivViewAction requestNotifications() { return {Kind::requestNotifications, 0}; }
    static RozivViewAction openNotificationSettings() {
        return {Kind::openNotificationSettings, 0};
    }
    static RozivViewAction retry() { return {Kind::retry, 0}; }
    static RozivViewAction erase() { return {Kind::erase, 0}; }
    static RozivViewAction openPreferences() { return {Kind::openPreferences, 0}; }
    static RozivViewAction openWelcome() { return {Kind::openWelcome, 0}; }
    static RozivViewAction completeWelcome() { return {Kind::completeWelcome, 0}; }

    Kind kind() const { return kind_; }
    // The value of `reminders` and `login`; false for every other case.
    bool isOn() const { return (kind_ == Kind::reminders || kind_ == Kind::login) && value_ != 0; }
    // The value of `startMinute`, `endMinute`, `day`, `glassMilliliters` and `intervalMinutes`;
    // 0 for every other case.
    std::int64_t number() const { return carriesNumber() ? value_ : 0; }

private:
    RozivViewAction(Kind kind, std::int64_t value) : kind_(kind), value_(value) {}

    bool carriesNumber() const {
        switch (kind_) {
        case Kind::startMinute:
        case Kind::endMinute:
        case Kind::day:
        case Kind::glassMilliliters:
        case Kind::intervalMinutes:
            return true;
        default:
            return false;
        }
    }

    Kind kind_;
    std::int64_t value_;
};

} // namespace DewlightViews
