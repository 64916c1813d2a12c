#include "core/GroupRemoval.h"

#include <utility>

namespace DewlightPlatform {

// Written with the core's names.
using namespace DewlightCore;

JsonValue JsonCodec<GroupRemoval>::encode(const GroupRemoval& removal) {
    JsonValue json = JsonValue::object();
    json["group"] = Json::encode(removal.group);
    json["workday"] = Json::encode(removal.workday);
    return json;
}

GroupRemoval JsonCodec<GroupRemoval>::decode(const JsonValue& json) {
    auto group = Json::field<Identity<ClickGroupTag>>(json, "group");
    const auto workday = Json::field<WorkdayID>(json, "workday");
    return GroupRemoval{std::move(group), workday};
}

} // namespace DewlightPlatform
