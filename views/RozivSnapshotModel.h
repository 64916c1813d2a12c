#pragma once

#include "views/DewlightViewModel.h"

#include <QStringList>

namespace DewlightPlatform {
class Calendar;
}

namespace DewlightViews {

// The fixed demonstration model of snapshot mode: a panel at 14:30 on a working day with one
// glass and three sips, the preferences of a 9-to-6 week, and the variant "--snapshot-state"
// asks for. It accepts every action and changes nothing, so every control in a snapshot is inert.
class RozivSnapshotModel final : public DewlightViewModel {
    Q_OBJECT

public:
    // 2026-10-23 08:00 UTC; the demonstration day is the calendar day that holds it.
    static constexpr Date demonstrationInstant = 814435200;

    // `arguments` are the command line's; `calendar` fixes the day and the zone of the times
    // shown. Building the model cannot fail: an unknown variant leaves the plain demonstration.
    RozivSnapshotModel(const QStringList& arguments, const DewlightPlatform::Calendar& calendar,
                       QObject* parent = nullptr);

    void send(const RozivViewAction& action) override;

private:
    RozivSnapshotModel(const RozivPanelState& panel, QObject* parent);
};

} // namespace DewlightViews
