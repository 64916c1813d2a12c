#include "core/ShownMoment.h"

namespace DewlightPlatform {

// Written with the core's names.
using namespace DewlightCore;

JsonValue JsonCodec<ShownMoment>::encode(const ShownMoment& shown) {
    JsonValue json = JsonValue::object();
    json["workday"] = Json::encode(shown.workday);
    json["moment"] = Json::encode(shown.moment);
    return json;
}

ShownMoment JsonCodec<ShownMoment>::decode(const JsonValue& json) {
    const auto workday = Json::field<WorkdayID>(json, "workday");
    const auto moment = Json::field<PanelMoment>(json, "moment");
    return ShownMoment{workday, moment};
}

} // namespace DewlightPlatform
