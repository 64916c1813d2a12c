#include "views/RozivSnapshotModel.h"

#include "platform/calendar/Calendar.h"

#include <optional>

namespace DewlightViews {

namespace {

// The argument after the first one equal to `flag`, unchanged; none when the flag is absent
// or last.
std::optional<QString> valueAfter(const QStringList& arguments, const QString& flag) {
    const auto at = arguments.indexOf(flag);
    if (at < 0 || at + 1 >= arguments.size())
        return std::nullopt;
    return arguments.at(at + 1);
}

// 14:30 on the demonstration day: its midnight plus 52,200 s.
Date demonstrationReminder(const DewlightPlatform::Calendar& calendar) {
    const Date instant = RozivSnapshotModel::demonstrationInstant;
    const Date midnight = calendar.dateBySettingTime(0, 0, 0, instant).value_or(instant);
    return midnight + 52'200;
}

RozivPanelState demonstrationPanel(Date reminder) {
    RozivPanelState panel;
    panel.status = RozivPanelStatus::scheduled(reminder);
    panel.remindersEnabled = true;
    panel.quarters = 7;
    panel.lowerRange = 3;
    panel.upperRange = 5;
    panel.canRecord = true;
    panel.highlightsGlass = true;
    panel.undo = RozivUndoState{RozivUndoState::Drink::sip, 3, reminder - 1'800};
    panel.groupedAddition = 0;
    panel.feedbackRevision = 0;
    panel.permission = RozivPermissionState::allowed;
    panel.cloud = RozivCloudState::available;
    return panel;
}

// Values are compared exactly: "FAILED" is not a variant.
void applyVariant(const QString& variant, RozivPanelState& panel) {
    if (variant == u"denied") {
        panel.status = RozivPanelStatus::permission();
        panel.permission = RozivPermissionState::denied;
    } else if (variant == u"not-asked") {
        panel.status = RozivPanelStatus::permission();
        panel.permission = RozivPermissionState::notAsked;
    } else if (variant == u"off") {
        panel.status = RozivPanelStatus::off();
        panel.remindersEnabled = false;
    } else if (variant == u"local") {
        panel.cloud = RozivCloudState::localOnly;
    } else if (variant == u"four-sips") {
        panel.quarters = 4;
        panel.moment = RozivMoment::fourSips;
    } else if (variant == u"three-glasses") {
        panel.quarters = 12;
        panel.moment = RozivMoment::threeGlassesInHour;
    } else if (variant == u"above-range") {
        panel.quarters = 21;
        panel.moment = RozivMoment::aboveRange;
        panel.status = RozivPanelStatus::enough();
    } else if (variant == u"failed") {
        panel.problem = RozivProblem::reminders;
        panel.status = RozivPanelStatus::failed();
    } else if (variant == u"long-range") {
        panel.lowerRange = 11;
        panel.upperRange = 16;
    }
}

RozivPanelState snapshotPanel(const QStringList& arguments,
                              const DewlightPlatform::Calendar& calendar) {
    auto panel = demonstrationPanel(demonstrationReminder(calendar));
    if (const auto variant = valueAfter(arguments, QStringLiteral("--snapshot-state")))
        applyVariant(*variant, panel);
    return panel;
}

RozivPreferencesState snapshotPreferences() {
    return {
        .startMinute = 540,
        .endMinute = 1'080,
        .days = {1, 2, 3, 4, 5},
        .glassMilliliters = 250,
        .intervalMinutes = 60,
        .opensAtLogin = false,
        .lowerRange = 3,
        .upperRange = 5,
        .isErasing = false,
        .problem = std::nullopt,
    };
}

} // namespace

RozivSnapshotModel::RozivSnapshotModel(const QStringList& arguments,
                                       const DewlightPlatform::Calendar& calendar, QObject* parent)
    : RozivSnapshotModel(snapshotPanel(arguments, calendar), parent) {}

// The welcome shows the panel's permission as the variant left it.
RozivSnapshotModel::RozivSnapshotModel(const RozivPanelState& panel, QObject* parent)
    : DewlightViewModel(panel, snapshotPreferences(), {panel.permission, std::nullopt}, parent) {}

void RozivSnapshotModel::send(const RozivViewAction&) {}

} // namespace DewlightViews
