#pragma once

#include "core/PanelMoment.h"
#include "core/WorkdayID.h"
#include "storage/CommittedState.h"
#include "storage/LedgerTransaction.h"
#include "storage/RozivAccountData.h"

#include <memory>

namespace DewlightStorage {

// The façade through which the application reaches the stored data of the account signed in
// now. It swaps the account data on an account switch and answers whether a snapshot taken
// before an await is still valid.
class RozivData {
public:
    // Builds the first account data; throws what its construction throws.
    RozivData(AccountDataServices services, AccountAuthority& authority,
              RozivPreferences& preferences);
    ~RozivData();
    RozivData(const RozivData&) = delete;
    RozivData& operator=(const RozivData&) = delete;

    RozivAccountData& current() { return *current_; }
    const RozivAccountData& current() const { return *current_; }
    // Replaces the account data; false (nothing changed) for the very same instance. A snapshot
    // taken on the replaced data is never current for the new one.
    bool setCurrent(std::unique_ptr<RozivAccountData> next);
    // New account data for the session signed in now; throws like the construction.
    std::unique_ptr<RozivAccountData> makeAccountData() const;
    // Routes the current account data's cloud changes to `onChange`.
    void forwardCurrentChanges();

    // With a cloud account, true while the current data's fence is closed.
    bool cloudBlocked() const;
    bool isCurrent(std::uint64_t revision, const Account& account) const;

    bool completeWelcome();
    // Records a handled notification action; receipts of days before `day` are forgotten.
    bool recordReceipt(const ActionReceipt& receipt, DewlightCore::WorkdayID day,
                       std::uint64_t revision, const Account& account);
    bool markShown(DewlightCore::PanelMoment moment, DewlightCore::WorkdayID day);

    AccountAuthority& authority() const { return authority_; }
    RozivPreferences& preferences() const { return preferences_; }

    std::function<void()> onChange;

private:
    AccountDataServices services_;
    AccountAuthority& authority_;
    RozivPreferences& preferences_;
    std::unique_ptr<RozivAccountData> current_;
};

} // namespace DewlightStorage
