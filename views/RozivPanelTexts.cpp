#include "views/RozivPanelTexts.h"

namespace DewlightViews {

ui::LocalizedText statusLine(const RozivPanelStatus& status, const RozivFormat& format) {
    using Kind = RozivPanelStatus::Kind;
    const Date date = status.date().value_or(0);
    switch (status.kind()) {
    case Kind::scheduled:
        return {QStringLiteral("Next reminder at %@"), {format.time(date)}};
    case Kind::snoozed:
        return {QStringLiteral("Snoozed until %@"), {format.time(date)}};
    case Kind::outside:
        return {QStringLiteral("Next workday: %@"), {format.weekdayTime(date)}};
    case Kind::preparing:
        return {QStringLiteral("Preparing reminders…")};
    case Kind::off:
        return {QStringLiteral("Off: no reminders, counting goes on")};
    case Kind::enough:
        return {QStringLiteral("That is enough for today")};
    case Kind::permission:
        return {QStringLiteral("Notifications are off")};
    case Kind::failed:
        break;
    }
    return {QStringLiteral("Reminders need attention")};
}

ui::LocalizedText privacyText(RozivCloudState cloud) {
    switch (cloud) {
    case RozivCloudState::syncing:
        return {QStringLiteral("Your data stays on this Mac while iCloud connects.")};
    case RozivCloudState::available:
        return {QStringLiteral("Your glasses and settings stay in your iCloud.")};
    case RozivCloudState::localOnly:
        return {QStringLiteral("Without iCloud, your data stays on this Mac.")};
    case RozivCloudState::failed:
        break;
    }
    return {QStringLiteral("Your data stays on this Mac. iCloud needs attention.")};
}

ui::LocalizedText contextLine(const RozivPanelState& state, const RozivFormat& format) {
    // A moment is shown once, right after the drink that earned it: it wins over the rest.
    if (state.moment) {
        switch (*state.moment) {
        case RozivMoment::fourSips:
            return {QStringLiteral("4 sips = 1 glass")};
        case RozivMoment::threeGlassesInHour:
            return {QStringLiteral("Three glasses in an hour. Take your time.")};
        case RozivMoment::aboveRange:
            return {QStringLiteral("That is enough for today. Let thirst guide you now.")};
        }
    }
    switch (state.status.kind()) {
    case RozivPanelStatus::Kind::outside:
        return {QStringLiteral("Counting starts over at %@"),
                {format.weekdayTime(state.status.date().value_or(0))}};
    case RozivPanelStatus::Kind::enough:
        return {QStringLiteral("Let thirst guide you now. Reminders stop until the next workday.")};
    default:
        return RozivFormat::rangeText(state.lowerRange, state.upperRange);
    }
}

ui::LocalizedText undoTitle(const std::optional<RozivUndoState>& undo, const RozivFormat& format,
                            const ui::Localizer& localizer) {
    if (!undo)
        return {QStringLiteral("No entry to undo")};
    const ui::LocalizedText count{undo->drink == RozivUndoState::Drink::glass
                                      ? QStringLiteral("%lld glasses")
                                      : QStringLiteral("%lld sips"),
                                  {static_cast<long long>(undo->count)}};
    return {QStringLiteral("Undo %@ from %@"),
            {count.localized(localizer), format.time(undo->firstClick)}};
}

} // namespace DewlightViews
