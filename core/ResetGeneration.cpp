#include "core/ResetGeneration.h"

#include <limits>

namespace DewlightCore {

ResetGeneration ResetGeneration::next(Identity<WriterTag> writer) const {
    if (counter_ == std::numeric_limits<std::uint64_t>::max())
        throw DomainError::invalidLedger();
    return ResetGeneration(counter_ + 1, std::move(writer));
}

} // namespace DewlightCore

namespace DewlightPlatform {

// Written with the core's names.
using namespace DewlightCore;

JsonValue JsonCodec<ResetGeneration>::encode(const ResetGeneration& generation) {
    JsonValue json = JsonValue::object();
    json["counter"] = generation.counter();
    json["writer"] = Json::encode(generation.writer());
    return json;
}

ResetGeneration JsonCodec<ResetGeneration>::decode(const JsonValue& json) {
    auto counter = Json::field<std::uint64_t>(json, "counter");
    return ResetGeneration(counter, Json::field<Identity<WriterTag>>(json, "writer"));
}

} // namespace DewlightPlatform
