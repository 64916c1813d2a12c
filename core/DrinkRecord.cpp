#include "core/DrinkRecord.h"

#include <tuple>
#include <utility>

namespace DewlightCore {

DrinkRecord::DrinkRecord(Identity<DrinkTag> id, Identity<ClickGroupTag> group,
                         Identity<WriterTag> writer, WorkdayID workday, DrinkKind kind,
                         Date timestamp, std::uint64_t writerSequence)
    : id_(std::move(id)), group_(std::move(group)), writer_(std::move(writer)), workday_(workday),
      kind_(kind), timestamp_(timestamp), writerSequence_(writerSequence) {
    DateRule::check(timestamp_);
    if (timestamp_ < workday_.civilDate() - earliestBeforeMidnight)
        throw DomainError::invalidLedger();
}

bool DrinkRecord::ledgerOrder(const DrinkRecord& a, const DrinkRecord& b) {
    // Timestamps are finite (the date rule), so `<` is a strict order on them.
    return std::tie(a.writerSequence_, a.timestamp_, a.writer_, a.id_) <
           std::tie(b.writerSequence_, b.timestamp_, b.writer_, b.id_);
}

} // namespace DewlightCore

namespace DewlightPlatform {

// Written with the core's names.
using namespace DewlightCore;

JsonValue JsonCodec<DrinkRecord>::encode(const DrinkRecord& record) {
    JsonValue json = JsonValue::object();
    json["id"] = Json::encode(record.id());
    json["group"] = Json::encode(record.group());
    json["writer"] = Json::encode(record.writer());
    json["workday"] = Json::encode(record.workday());
    json["kind"] = Json::encode(record.kind());
    json["timestamp"] = Json::encode(record.timestamp());
    json["writerSequence"] = Json::encode(record.writerSequence());
    return json;
}

DrinkRecord JsonCodec<DrinkRecord>::decode(const JsonValue& json) {
    auto id = Json::field<Identity<DrinkTag>>(json, "id");
    auto group = Json::field<Identity<ClickGroupTag>>(json, "group");
    auto writer = Json::field<Identity<WriterTag>>(json, "writer");
    const auto workday = Json::field<WorkdayID>(json, "workday");
    const auto kind = Json::field<DrinkKind>(json, "kind");
    const auto timestamp = Json::field<Date>(json, "timestamp");
    const auto writerSequence = Json::field<std::uint64_t>(json, "writerSequence");
    return DrinkRecord(std::move(id), std::move(group), std::move(writer), workday, kind, timestamp,
                       writerSequence);
}

} // namespace DewlightPlatform
