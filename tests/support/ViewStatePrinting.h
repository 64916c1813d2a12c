#pragma once

// Readable gtest failure output for the view state: a failed comparison names the fields.
#include "views/RozivViewState.h"

#include <ostream>

namespace DewlightViews {

inline void PrintTo(const RozivPanelStatus& status, std::ostream* out) {
    static const char* const names[] = {"scheduled", "snoozed", "outside",    "preparing",
                                        "off",       "enough",  "permission", "failed"};
    *out << names[int(status.kind())];
    if (const auto date = status.date())
        *out << "(" << std::fixed << *date << ")";
}

inline void PrintTo(const RozivPanelState& s, std::ostream* out) {
    *out << "{status ";
    PrintTo(s.status, out);
    *out << ", remindersEnabled " << s.remindersEnabled << ", quarters " << s.quarters << ", range "
         << s.lowerRange << "-" << s.upperRange << ", canRecord " << s.canRecord
         << ", highlightsGlass " << s.highlightsGlass << ", undo ";
    if (s.undo)
        *out << (s.undo->drink == RozivUndoState::Drink::glass ? "glass" : "sip") << " x"
             << s.undo->count << " at " << std::fixed << s.undo->firstClick;
    else
        *out << "none";
    *out << ", groupedAddition " << s.groupedAddition << ", feedbackRevision " << s.feedbackRevision
         << ", moment " << (s.moment ? int(*s.moment) : -1) << ", problem "
         << (s.problem ? int(*s.problem) : -1) << ", permission " << int(s.permission) << ", cloud "
         << int(s.cloud) << "}";
}

inline void PrintTo(const RozivPreferencesState& s, std::ostream* out) {
    *out << "{" << s.startMinute << "-" << s.endMinute << ", days";
    for (auto day : s.days)
        *out << " " << day;
    *out << ", glass " << s.glassMilliliters << ", interval " << s.intervalMinutes
         << ", opensAtLogin " << s.opensAtLogin << ", range " << s.lowerRange << "-" << s.upperRange
         << ", isErasing " << s.isErasing << ", problem " << (s.problem ? int(*s.problem) : -1)
         << "}";
}

inline void PrintTo(const RozivWelcomeState& s, std::ostream* out) {
    *out << "{permission " << int(s.permission) << ", problem "
         << (s.problem ? int(*s.problem) : -1) << "}";
}

} // namespace DewlightViews
