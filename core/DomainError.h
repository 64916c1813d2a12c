#pragma once

#include <cstdint>
#include <exception>

namespace DewlightCore {

// The one error the core throws. Each case names the rule that was broken; only
// `unsupportedVersion` carries a value, the version found. Never stored or sent.
class DomainError : public std::exception {
public:
    enum class Case {
        unsupportedVersion,  // a Versioned document with a version other than 1
        invalidIdentity,     // an identity text breaks the identity rule
        invalidSettings,     // settings out of their bounds
        invalidDate,         // a date, a working day or a window out of bounds; no date found
        conflictingIdentity, // two different records carry one identity
        wrongGeneration,     // a reset generation that is no longer in force
        discardedWorkday,    // a working day at or before the ledger's discarded day
        invalidLedger,       // a ledger limit or consistency rule; a counter that cannot grow
        invalidPayload,      // a reminder payload out of bounds
        invalidPlan,         // a reminder plan request out of bounds
    };

    static DomainError unsupportedVersion(std::int64_t version) {
        return {Case::unsupportedVersion, version};
    }
    static DomainError invalidIdentity() { return Case::invalidIdentity; }
    static DomainError invalidSettings() { return Case::invalidSettings; }
    static DomainError invalidDate() { return Case::invalidDate; }
    static DomainError conflictingIdentity() { return Case::conflictingIdentity; }
    static DomainError wrongGeneration() { return Case::wrongGeneration; }
    static DomainError discardedWorkday() { return Case::discardedWorkday; }
    static DomainError invalidLedger() { return Case::invalidLedger; }
    static DomainError invalidPayload() { return Case::invalidPayload; }
    static DomainError invalidPlan() { return Case::invalidPlan; }

    Case kind() const { return case_; }
    // The version found; 0 for every other case.
    std::int64_t version() const { return version_; }

    const char* what() const noexcept override;

    bool operator==(const DomainError& other) const {
        return case_ == other.case_ && version_ == other.version_;
    }

private:
    DomainError(Case kind, std::int64_t version = 0) : case_(kind), version_(version) {}

    Case case_;
    std::int64_t version_;
};

const char* toString(DomainError::Case kind);

} // namespace DewlightCore
