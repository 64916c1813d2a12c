#pragma once

#include "core/Date.h"
#include "core/PanelFailure.h"

#include <optional>

namespace DewlightCore {

// The panel's status line in the core. Not the panel kit's header dot status, which is a type
// of its own.
class PanelStatus {
public:
    // Declaration order only; which status wins is decided by the projection's rules.
    enum class Case {
        failure,
        nextReminder,
        welcomeRequired,
        remindersOff,
        permissionRequired,
        outsideWorkday,
        rangeExceeded,
        scheduling,
    };

    static PanelStatus failure(PanelFailure failure) { return {Case::failure, failure, 0}; }
    static PanelStatus nextReminder(Date date) { return {Case::nextReminder, {}, date}; }
    static PanelStatus welcomeRequired() { return Case::welcomeRequired; }
    static PanelStatus remindersOff() { return Case::remindersOff; }
    static PanelStatus permissionRequired() { return Case::permissionRequired; }
    static PanelStatus outsideWorkday() { return Case::outsideWorkday; }
    static PanelStatus rangeExceeded() { return Case::rangeExceeded; }
    static PanelStatus scheduling() { return Case::scheduling; }

    Case kind() const { return case_; }
    // The failure of a `failure` status; none for every other case.
    std::optional<PanelFailure> failureKind() const {
        return case_ == Case::failure ? std::optional(failure_) : std::nullopt;
    }
    // The moment of a `nextReminder` status; none for every other case.
    std::optional<Date> reminderDate() const {
        return case_ == Case::nextReminder ? std::optional(date_) : std::nullopt;
    }

    bool operator==(const PanelStatus&) const = default;

private:
    PanelStatus(Case kind, PanelFailure failure = {}, Date date = 0)
        : case_(kind), failure_(failure), date_(date) {}

    Case case_;
    // Meaningful only for the case that carries it; kept at a fixed value otherwise so that
    // equality compares the case and its own payload alone.
    PanelFailure failure_;
    Date date_;
};

} // namespace DewlightCore
