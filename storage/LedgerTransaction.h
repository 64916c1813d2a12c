#pragma once

#include "storage/ApplicationIssue.h"
#include "storage/CommittedState.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace DewlightStorage {

using Account = DewlightCore::Identity<DewlightCore::AccountTag>;

// The one way to change an account's stored data. A caller takes (revision, account) before it
// suspends and commits with them afterwards; anything committed in between, or an account switch,
// makes the stale commit fail instead of overwriting newer data. What is visible is always what
// is on disk: the file is written before the state changes.
class LedgerTransaction {
public:
    // Writes the state for the account; throws on failure.
    using Persist = std::function<void(const CommittedState&, const Account&)>;
    // Whether the account is still the signed-in one.
    using IsCurrentAccount = std::function<bool(const Account&)>;

    LedgerTransaction(CommittedState state, Account account, Persist persist,
                      IsCurrentAccount isCurrentAccount)
        : state_(std::move(state)), account_(std::move(account)), persist_(std::move(persist)),
          isCurrentAccount_(std::move(isCurrentAccount)) {}

    const CommittedState& state() const { return state_; }
    std::uint64_t revision() const { return revision_; }
    const Account& account() const { return account_; }

    // Why the last commit failed; none after a successful one. Callers on the recording road also
    // store their own issue here.
    const std::optional<ApplicationIssue>& issue() const { return issue_; }
    void setIssue(std::optional<ApplicationIssue> issue) { issue_ = issue; }

    bool acceptsAccount(const Account& account) const { return isCurrentAccount_(account); }

    // Makes every snapshot taken so far stale, for shutdown, reset and erase.
    void invalidate() { ++revision_; }
    // Takes over from the transaction this one replaces: revisions go on after `replaced`, so a
    // snapshot of the old one never passes here, even for the same account.
    void continueAfter(std::uint64_t replaced) {
        if (revision_ <= replaced)
            revision_ = replaced + 1;
    }

    bool commit(CommittedState state, std::uint64_t revision, const Account& account);
    // Undoes the day's latest click group and commits; false without a group (issue untouched)
    // or when the commit fails.
    bool undoLatestGroup(DewlightCore::WorkdayID workday);
    // Merges a ledger read from the cloud and commits. A newer generation from another computer
    // means an erase there: this computer starts over, receipts and welcome included.
    bool merge(const DewlightCore::HydrationLedger& cloud);

    // Receipt bookkeeping: a receipt's day is kept from `since` on; a receipt is kept while its
    // day is.
    static bool
    keepsReceiptWorkday(const std::pair<const ActionReceipt, DewlightCore::WorkdayID>& entry,
                        DewlightCore::WorkdayID since) {
        return !(entry.second < since);
    }
    static bool keepsReceipt(const ActionReceipt& receipt, const CommittedState& state) {
        return state.receiptWorkdays.contains(receipt);
    }

private:
    CommittedState state_;
    std::optional<ApplicationIssue> issue_;
    std::uint64_t revision_ = 0;
    Account account_;
    Persist persist_;
    IsCurrentAccount isCurrentAccount_;
};

} // namespace DewlightStorage
