#pragma once

namespace DewlightStorage {

// Model-level failures: why a commit or a cloud operation was refused.
enum class ApplicationIssue {
    storage,          // the local file could not be written
    invalidData,      // stored or replicated data failed validation
    accountChanged,   // the account or the revision is no longer current, or the fence is closed
    scheduling,       // reminders could not be prepared
    discardedWorkday, // a drink for a day that is already discarded
};

} // namespace DewlightStorage
