#include "storage/LedgerTransaction.h"

namespace DewlightStorage {

bool LedgerTransaction::commit(CommittedState state, std::uint64_t revision,
                               const Account& account) {
    if (revision != revision_ || account != account_ || !isCurrentAccount_(account)) {
        issue_ = ApplicationIssue::accountChanged;
        return false;
    }
    try {
        persist_(state, account_);
    } catch (...) {
        // The cause stays here; the model shows only that storage failed.
        issue_ = ApplicationIssue::storage;
        return false;
    }
    state_ = std::move(state);
    issue_.reset();
    ++revision_;
    return true;
}

bool LedgerTransaction::undoLatestGroup(DewlightCore::WorkdayID workday) {
    auto copy = state_;
    if (!copy.ledger.undoLatestGroup(workday))
        return false;
    return commit(std::move(copy), revision_, account_);
}

bool LedgerTransaction::merge(const DewlightCore::HydrationLedger& cloud) {
    auto copy = state_;
    try {
        copy.ledger = copy.ledger.merging(cloud);
    } catch (const std::exception&) {
        issue_ = ApplicationIssue::invalidData;
        return false;
    }
    if (copy.ledger.generation() != state_.ledger.generation()) {
        copy.receipts.clear();
        copy.receiptWorkdays.clear();
        copy.welcomeCompleted = false;
    }
    return commit(std::move(copy), revision_, account_);
}

} // namespace DewlightStorage
