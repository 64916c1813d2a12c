#pragma once

// The committed state of an account on this computer: its ledger, receipts and welcome flag.

#include "core/HydrationLedger.h"
#include "core/Identity.h"
#include "core/Json.h"
#include "core/ResetGeneration.h"
#include "core/WorkdayID.h"

#include <map>
#include <set>

namespace DewlightStorage {

using ActionReceipt = DewlightCore::Identity<DewlightCore::ActionReceiptTag>;

// The generation in force before an account's first erase.
DewlightCore::ResetGeneration initialGeneration();

// Everything kept for one account on this computer: the content of its local file. Only the
// ledger is replicated; receipts and the welcome flag stay here.
struct CommittedState {
    DewlightCore::HydrationLedger ledger;
    // Reminder actions already applied, so a tapped notification never counts twice.
    std::set<ActionReceipt> receipts;
    // The working day of each receipt, through which receipts of past days are forgotten.
    std::map<ActionReceipt, DewlightCore::WorkdayID> receiptWorkdays;
    bool welcomeCompleted = false;

    // An empty ledger of the initial generation, nothing else.
    static CommittedState fresh();
};

} // namespace DewlightStorage

namespace DewlightPlatform {
// `receiptWorkdays` is a flat array alternating receipt and working day, since its keys are not
// plain texts; pairs are written in receipt order so that equal states give equal bytes.
template <> struct JsonCodec<DewlightStorage::CommittedState> {
    static JsonValue encode(const DewlightStorage::CommittedState& state);
    static DewlightStorage::CommittedState decode(const JsonValue& json);
};
} // namespace DewlightPlatform
