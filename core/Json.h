#pragma once

// The strict JSON codec of platform/json, under the core's own names. A core type is made
// codable by specialising DewlightPlatform::JsonCodec, outside this namespace.

#include "platform/json/Json.h"

namespace DewlightCore {

using DewlightPlatform::DecodingError;
using DewlightPlatform::JsonCodec;
using DewlightPlatform::JsonValue;
using DewlightPlatform::JsonVectorCodec;

namespace Json {
using namespace DewlightPlatform::Json;
} // namespace Json

} // namespace DewlightCore
