#include "core/DomainError.h"

namespace DewlightCore {

const char* toString(DomainError::Case kind) {
    switch (kind) {
    case DomainError::Case::unsupportedVersion:
        return "unsupportedVersion";
    case DomainError::Case::invalidIdentity:
        return "invalidIdentity";
    case DomainError::Case::invalidSettings:
        return "invalidSettings";
    case DomainError::Case::invalidDate:
        return "invalidDate";
    case DomainError::Case::conflictingIdentity:
        return "conflictingIdentity";
    case DomainError::Case::wrongGeneration:
        return "wrongGeneration";
    case DomainError::Case::discardedWorkday:
        return "discardedWorkday";
    case DomainError::Case::invalidLedger:
        return "invalidLedger";
    case DomainError::Case::invalidPayload:
        return "invalidPayload";
    case DomainError::Case::invalidPlan:
        return "invalidPlan";
    }
    return "unknown";
}

const char* DomainError::what() const noexcept {
    return toString(case_);
}

} // namespace DewlightCore
