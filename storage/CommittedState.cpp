#include "storage/CommittedState.h"

namespace DewlightStorage {

DewlightCore::ResetGeneration initialGeneration() {
    return DewlightCore::ResetGeneration(
        0, DewlightCore::Identity<DewlightCore::WriterTag>("initial"));
}

CommittedState CommittedState::fresh() {
    return {DewlightCore::HydrationLedger(initialGeneration()), {}, {}, false};
}

} // namespace DewlightStorage

namespace DewlightPlatform {

using namespace DewlightCore;

using DewlightStorage::ActionReceipt;
using DewlightStorage::CommittedState;

JsonValue JsonCodec<CommittedState>::encode(const CommittedState& state) {
    JsonValue json = JsonValue::object();
    json["ledger"] = Json::encode(state.ledger);
    json["receipts"] = Json::encode(state.receipts);
    JsonValue pairs = JsonValue::array();
    for (const auto& [receipt, workday] : state.receiptWorkdays) {
        pairs.push_back(Json::encode(receipt));
        pairs.push_back(Json::encode(workday));
    }
    json["receiptWorkdays"] = std::move(pairs);
    json["welcomeCompleted"] = state.welcomeCompleted;
    return json;
}

CommittedState JsonCodec<CommittedState>::decode(const JsonValue& json) {
    auto ledger = Json::field<HydrationLedger>(json, "ledger");
    auto receipts = Json::field<std::set<ActionReceipt>>(json, "receipts");

    const JsonValue& pairs = Json::at(json, "receiptWorkdays");
    if (!pairs.is_array())
        Json::throwTypeMismatch("an array", pairs);
    if (pairs.size() % 2 != 0)
        Json::throwDataCorrupted("receiptWorkdays holds a receipt without its working day");
    std::map<ActionReceipt, WorkdayID> receiptWorkdays;
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        // A receipt listed twice keeps its last working day.
        receiptWorkdays.insert_or_assign(Json::decode<ActionReceipt>(pairs[i]),
                                         Json::decode<WorkdayID>(pairs[i + 1]));
    }

    const bool welcomeCompleted = Json::field<bool>(json, "welcomeCompleted");
    return {std::move(ledger), std::move(receipts), std::move(receiptWorkdays), welcomeCompleted};
}

} // namespace DewlightPlatform
