#include "storage/RozivData.h"

#include <algorithm>

namespace DewlightStorage {

using namespace DewlightCore;

RozivData::RozivData(AccountDataServices services, AccountAuthority& authority,
                     RozivPreferences& preferences)
    : services_(services), authority_(authority), preferences_(preferences),
      current_(makeAccountData()) {
    forwardCurrentChanges();
}

RozivData::~RozivData() = default;

std::unique_ptr<RozivAccountData> RozivData::makeAccountData() const {
    return std::make_unique<RozivAccountData>(services_, authority_, preferences_);
}

bool RozivData::setCurrent(std::unique_ptr<RozivAccountData> next) {
    if (!next || next.get() == current_.get())
        return false;
    next->transaction().continueAfter(current_->transaction().revision());
    current_ = std::move(next);
    return true;
}

void RozivData::forwardCurrentChanges() {
    // The account data never outlives this façade, which owns it.
    current_->onChange = [this] {
        if (onChange)
            onChange();
    };
}

bool RozivData::cloudBlocked() const {
    return current_->session().cloudAvailable && !current_->fence().isOpen();
}

bool RozivData::isCurrent(std::uint64_t revision, const Account& account) const {
    const auto& transaction = current_->transaction();
    return transaction.revision() == revision && transaction.account() == account &&
           transaction.acceptsAccount(account);
}

bool RozivData::completeWelcome() {
    auto& transaction = current_->transaction();
    auto state = transaction.state();
    state.welcomeCompleted = true;
    return transaction.commit(std::move(state), transaction.revision(), transaction.account());
}

bool RozivData::recordReceipt(const ActionReceipt& receipt, WorkdayID day, std::uint64_t revision,
                              const Account& account) {
    auto& transaction = current_->transaction();
    auto state = transaction.state();
    std::erase_if(state.receiptWorkdays, [&](const auto& entry) {
        return !LedgerTransaction::keepsReceiptWorkday(entry, day);
    });
    std::erase_if(state.receipts, [&](const ActionReceipt& kept) {
        return !LedgerTransaction::keepsReceipt(kept, state);
    });
    state.receipts.insert(receipt);
    state.receiptWorkdays.insert_or_assign(receipt, day);
    return transaction.commit(std::move(state), revision, account);
}

bool RozivData::markShown(PanelMoment moment, WorkdayID day) {
    auto& transaction = current_->transaction();
    auto state = transaction.state();
    state.ledger.markShown(moment, day);
    return transaction.commit(std::move(state), transaction.revision(), transaction.account());
}

} // namespace DewlightStorage
