#pragma once

#include "core/Date.h"
#include "core/DrinkKind.h"
#include "core/Identity.h"
#include "core/Json.h"
#include "core/WorkdayID.h"

#include <cstdint>
#include <vector>

namespace DewlightCore {

// One recorded click of "A glass" or "A sip".
class DrinkRecord {
public:
    // No time zone starts a civil day more than 14 hours before its UTC midnight.
    static constexpr double earliestBeforeMidnight = 50400;

    // Throws `invalidDate` for a timestamp outside the date rule, then `invalidLedger` for one
    // earlier than 14 hours before the UTC midnight that names its working day.
    DrinkRecord(Identity<DrinkTag> id, Identity<ClickGroupTag> group, Identity<WriterTag> writer,
                WorkdayID workday, DrinkKind kind, Date timestamp, std::uint64_t writerSequence);

    const Identity<DrinkTag>& id() const { return id_; }
    const Identity<ClickGroupTag>& group() const { return group_; }
    const Identity<WriterTag>& writer() const { return writer_; }
    WorkdayID workday() const { return workday_; }
    DrinkKind kind() const { return kind_; }
    Date timestamp() const { return timestamp_; }
    std::uint64_t writerSequence() const { return writerSequence_; }

    friend bool operator==(const DrinkRecord&, const DrinkRecord&) = default;

    // Ledger order: writer sequence, then timestamp, then writer text, then id text. Decides
    // what "latest" means for drinks and click groups everywhere.
    static bool ledgerOrder(const DrinkRecord& a, const DrinkRecord& b);

private:
    Identity<DrinkTag> id_;
    Identity<ClickGroupTag> group_;
    Identity<WriterTag> writer_;
    WorkdayID workday_;
    DrinkKind kind_;
    Date timestamp_;
    std::uint64_t writerSequence_;
};

// {"id", "group", "writer", "workday", "kind", "timestamp", "writerSequence"}, all required,
// read in this order; then the record's own checks.
template <> struct JsonCodec<DrinkRecord> {
    static JsonValue encode(const DrinkRecord& record);
    static DrinkRecord decode(const JsonValue& json);
};

namespace Json {
// The records that Json::decodeText read straight from the text for the placeholder `json`
// stands for; none for any other value. Each placeholder hands its records over once.
std::vector<DrinkRecord>* takeStreamedDrinks(const JsonValue& json);
} // namespace Json

// An array of records, as any vector; a placeholder of Json::decodeText gives its records.
template <> struct JsonCodec<std::vector<DrinkRecord>> {
    static JsonValue encode(const std::vector<DrinkRecord>& records) {
        return JsonVectorCodec<DrinkRecord>::encode(records);
    }
    static std::vector<DrinkRecord> decode(const JsonValue& json) {
        if (auto* streamed = Json::takeStreamedDrinks(json))
            return std::move(*streamed);
        return JsonVectorCodec<DrinkRecord>::decode(json);
    }
};

} // namespace DewlightCore
