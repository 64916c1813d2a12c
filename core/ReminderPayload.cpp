#include "core/ReminderPayload.h"

#include "core/Workday.h"

#include <utility>

namespace DewlightCore {

ReminderPayload::ReminderPayload(Identity<AccountTag> account, ResetGeneration generation,
                                 WorkdayID workday, Identity<ReminderTag> reminder,
                                 Date scheduledAt)
    : account_(std::move(account)), generation_(std::move(generation)), workday_(workday),
      reminder_(std::move(reminder)), scheduledAt_(scheduledAt) {
    DateRule::check(scheduledAt);
    const Date midnight = workday.civilDate();
    if (scheduledAt < midnight - Workday::earliestStartBeforeMidnight ||
        scheduledAt >= midnight + Workday::endLimitAfterMidnight)
        throw DomainError::invalidPayload();
}

bool ReminderPayload::isActionable(const Identity<AccountTag>& account,
                                   const ResetGeneration& generation, WorkdayID countingDay,
                                   Date now) const {
    return account_ == account && generation_.counter() == generation.counter() &&
           generation_.writer() == generation.writer() && workday_ == countingDay &&
           now >= scheduledAt_;
}

} // namespace DewlightCore

namespace DewlightPlatform {

// Written with the core's names.
using namespace DewlightCore;

JsonValue JsonCodec<ReminderPayload>::encode(const ReminderPayload& payload) {
    JsonValue json = JsonValue::object();
    json["account"] = Json::encode(payload.account());
    json["generation"] = Json::encode(payload.generation());
    json["workday"] = Json::encode(payload.workday());
    json["reminder"] = Json::encode(payload.reminder());
    json["scheduledAt"] = Json::encode(payload.scheduledAt());
    return json;
}

ReminderPayload JsonCodec<ReminderPayload>::decode(const JsonValue& json) {
    // One statement per key: the keys are read, and fail, in their documented order.
    auto account = Json::field<Identity<AccountTag>>(json, "account");
    auto generation = Json::field<ResetGeneration>(json, "generation");
    auto workday = Json::field<WorkdayID>(json, "workday");
    auto reminder = Json::field<Identity<ReminderTag>>(json, "reminder");
    auto scheduledAt = Json::field<double>(json, "scheduledAt");
    return ReminderPayload(std::move(account), std::move(generation), workday, std::move(reminder),
                           scheduledAt);
}

} // namespace DewlightPlatform
