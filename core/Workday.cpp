#include "core/Workday.h"

namespace DewlightCore {

Workday::Workday(WorkdayID id, Date start, Date end) : id_(id), start_(start), end_(end) {
    DateRule::check(start);
    DateRule::check(end);
    if (!(start < end) || start < id.civilDate() - earliestStartBeforeMidnight ||
        !(end < id.civilDate() + endLimitAfterMidnight))
        throw DomainError::invalidDate();
}

} // namespace DewlightCore

namespace DewlightPlatform {

// Written with the core's names.
using namespace DewlightCore;

JsonValue JsonCodec<Workday>::encode(const Workday& workday) {
    JsonValue json = JsonValue::object();
    json["id"] = Json::encode(workday.id());
    json["start"] = workday.start();
    json["end"] = workday.end();
    return json;
}

Workday JsonCodec<Workday>::decode(const JsonValue& json) {
    const auto start = Json::field<double>(json, "start");
    const auto end = Json::field<double>(json, "end");
    const auto id = Json::field<WorkdayID>(json, "id");
    return Workday(id, start, end);
}

} // namespace DewlightPlatform
