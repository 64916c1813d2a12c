#include "views/RozivPanelTexts.h"

namespace DewlightViews {

RozivText statusLine(const RozivPanelStatus& status, const RozivFormat& format) {
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

RozivText undoTitle(const std::optional<RozivUndoState>& undo, const RozivFormat& format,
                    const RozivLocalizer& localizer) {
    if (!undo)
        return {QStringLiteral("No entry to undo")};
    const RozivText count{undo->drink == RozivUndoState::Drink::glass
                              ? QStringLiteral("%lld glasses")
                              : QStringLiteral("%lld sips"),
                          {static_cast<long long>(undo->count)}};
    return {QStringLiteral("Undo %@ from %@"),
            {count.localized(localizer), format.time(undo->firstClick)}};
}

} // namespace DewlightViews
