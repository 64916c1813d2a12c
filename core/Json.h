#pragma once

// Strict JSON reading and ordered writing for every stored or sent value.
//
// Reading never coerces: nlohmann's plain getters turn `true` into 1 and 1.9 into 1, so every
// decoder goes through these helpers instead.
// - Integers come only from JSON integers. A fraction, an exponent form (1e2), a number beyond
//   the target type (18446744073709551616 for 64 bits) or a negative number for an unsigned type
//   is `dataCorrupted`; a boolean, string or other kind is `typeMismatch`.
// - Doubles accept any JSON number and round-trip bit for bit through `serialize` and `parse`.
//   Non-finite doubles have no JSON form (nlohmann writes null): the date rule keeps them out.
// - Booleans come only from true and false, strings only from strings.
// Writing uses `JsonValue` (nlohmann's ordered_json): keys stay in the order they are added, so
// encoders add them in their documented order; sets are written in their sorted order.
//
// A type becomes codable by specialising `JsonCodec<T>`:
//     template <> struct JsonCodec<Thing> {
//         static JsonValue encode(const Thing& thing);
//         static Thing decode(const JsonValue& json);
//     };
// then `Json::encode(thing)`, `Json::decode<Thing>(json)` and `Json::field<Thing>(object, "key")`
// work for it and for vectors, sets and Versioned envelopes of it.
//
// Failures: a malformed text, a missing key or a value of the wrong kind throws `DecodingError`
// (the ordinary decoding failure); rules of the values themselves throw their own `DomainError`,
// which passes through these helpers untouched and ends the whole decoding.

#include <concepts>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace DewlightCore {

using JsonValue = nlohmann::ordered_json;

class DecodingError : public std::runtime_error {
public:
    enum class Kind {
        malformed,     // not JSON text
        keyNotFound,   // a required key is missing
        typeMismatch,  // a value of another JSON kind
        dataCorrupted, // the right kind, but not a value of the type
    };

    DecodingError(Kind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

template <class T> struct JsonCodec;

namespace Json {

// Parses the whole byte range; anything but one JSON value is `malformed`, and a number beyond
// every double (1e309) is `dataCorrupted`.
JsonValue parse(std::string_view text);
// Compact text, keys in insertion order.
std::string serialize(const JsonValue& value);

// The value under a required key of an object.
const JsonValue& at(const JsonValue& object, std::string_view key);

template <class T> JsonValue encode(const T& value) {
    return JsonCodec<T>::encode(value);
}
template <class T> T decode(const JsonValue& value) {
    return JsonCodec<T>::decode(value);
}

// Decodes the value under a required key; a failure names the key.
template <class T> T field(const JsonValue& object, std::string_view key) {
    const JsonValue& value = at(object, key);
    try {
        return decode<T>(value);
    } catch (const DecodingError& error) {
        throw DecodingError(error.kind(), std::string(key) + ": " + error.what());
    }
}

// Decodes the value under an optional key: absent or null gives none.
template <class T> std::optional<T> fieldIfPresent(const JsonValue& object, std::string_view key) {
    if (!object.is_object())
        throw DecodingError(DecodingError::Kind::typeMismatch, "expected an object");
    const auto found = object.find(key);
    if (found == object.end() || found->is_null())
        return std::nullopt;
    return field<T>(object, key);
}

[[noreturn]] void throwTypeMismatch(const char* expected, const JsonValue& found);
[[noreturn]] void throwDataCorrupted(const std::string& message);

} // namespace Json

template <> struct JsonCodec<bool> {
    static JsonValue encode(bool value) { return value; }
    static bool decode(const JsonValue& json) {
        if (!json.is_boolean())
            Json::throwTypeMismatch("a boolean", json);
        return json.get<bool>();
    }
};

template <std::integral Int>
requires(!std::same_as<Int, bool>) struct JsonCodec<Int> {
    static JsonValue encode(Int value) { return value; }
    static Int decode(const JsonValue& json) {
        using Limits = std::numeric_limits<Int>;
        if (json.is_number_unsigned()) {
            const auto value = json.get<std::uint64_t>();
            if (value > static_cast<std::uint64_t>(Limits::max()))
                Json::throwDataCorrupted("integer " + std::to_string(value) + " out of range");
            return static_cast<Int>(value);
        }
        if (json.is_number_integer()) {
            // Signed storage: a parsed negative number, or any number built from a signed value.
            const auto value = json.get<std::int64_t>();
            if (value < 0 && !Limits::is_signed)
                Json::throwDataCorrupted("negative integer " + std::to_string(value) +
                                         " for an unsigned value");
            if (!std::in_range<Int>(value))
                Json::throwDataCorrupted("integer " + std::to_string(value) + " out of range");
            return static_cast<Int>(value);
        }
        if (json.is_number_float())
            Json::throwDataCorrupted("number " + json.dump() + " is not an integer");
        Json::throwTypeMismatch("an integer", json);
    }
};

template <> struct JsonCodec<double> {
    static JsonValue encode(double value) { return value; }
    static double decode(const JsonValue& json) {
        if (json.is_number_float())
            return json.get<double>();
        if (json.is_number_unsigned())
            return static_cast<double>(json.get<std::uint64_t>());
        if (json.is_number_integer())
            return static_cast<double>(json.get<std::int64_t>());
        Json::throwTypeMismatch("a number", json);
    }
};

template <> struct JsonCodec<std::string> {
    static JsonValue encode(const std::string& value) { return value; }
    static std::string decode(const JsonValue& json) {
        if (!json.is_string())
            Json::throwTypeMismatch("a string", json);
        return json.get<std::string>();
    }
};

// Arrays of any codable type; a type may wrap it in a codec of its own.
template <class T> struct JsonVectorCodec {
    static JsonValue encode(const std::vector<T>& values) {
        JsonValue array = JsonValue::array();
        for (const auto& value : values)
            array.push_back(Json::encode(value));
        return array;
    }
    static std::vector<T> decode(const JsonValue& json) {
        if (!json.is_array())
            Json::throwTypeMismatch("an array", json);
        std::vector<T> values;
        values.reserve(json.size());
        for (const auto& element : json)
            values.push_back(Json::decode<T>(element));
        return values;
    }
};

template <class T> struct JsonCodec<std::vector<T>> : JsonVectorCodec<T> {};

// Written in the set's order so that equal sets give equal bytes; a repeated entry collapses.
template <class T> struct JsonCodec<std::set<T>> {
    static JsonValue encode(const std::set<T>& values) {
        JsonValue array = JsonValue::array();
        for (const auto& value : values)
            array.push_back(Json::encode(value));
        return array;
    }
    static std::set<T> decode(const JsonValue& json) {
        if (!json.is_array())
            Json::throwTypeMismatch("an array", json);
        std::set<T> values;
        for (const auto& element : json)
            values.insert(Json::decode<T>(element));
        return values;
    }
};

} // namespace DewlightCore
