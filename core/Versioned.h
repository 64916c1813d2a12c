#pragma once

#include "core/DomainError.h"
#include "core/Json.h"

#include <cstdint>
#include <utility>

namespace DewlightCore {

// The envelope of every JSON document the application stores or sends:
// {"version": 1, "value": ...}. Only version 1 exists; another version is refused before its
// value is looked at, so a newer writer's document is never misread.
template <class T> class Versioned {
public:
    static constexpr std::int64_t version = 1;

    explicit Versioned(T value) : value_(std::move(value)) {}

    const T& value() const { return value_; }

    bool operator==(const Versioned&) const = default;

private:
    T value_;
};

} // namespace DewlightCore

template <class T> struct DewlightPlatform::JsonCodec<DewlightCore::Versioned<T>> {
    using Versioned = DewlightCore::Versioned<T>;

    static JsonValue encode(const Versioned& versioned) {
        JsonValue json = JsonValue::object();
        json["version"] = Versioned::version;
        json["value"] = Json::encode(versioned.value());
        return json;
    }
    static Versioned decode(const JsonValue& json) {
        const auto found = Json::field<std::int64_t>(json, "version");
        if (found != Versioned::version)
            throw DewlightCore::DomainError::unsupportedVersion(found);
        return Versioned(Json::field<T>(json, "value"));
    }
};
