#pragma once

// Enumerations with raw values (integers or texts), declared once as a table:
//     template <> struct RawEnumCases<Weekday> {
//         static constexpr std::array<std::pair<Weekday, std::int64_t>, 7> table{{...}};
//     };
// gives `rawValue(e)`, `fromRawValue<E>(raw)` (none for an unknown raw value), `allCases<E>()`
// in declaration order, and a JSON form as the raw value (an unknown one is `dataCorrupted`).

#include "core/Json.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace DewlightCore {

template <class E> struct RawEnumCases;

template <class E>
concept RawEnum = requires {
    RawEnumCases<E>::table;
};

template <RawEnum E>
using RawValueOf = typename std::remove_cvref_t<decltype(RawEnumCases<E>::table[0])>::second_type;

template <RawEnum E> constexpr RawValueOf<E> rawValue(E value) {
    for (const auto& [known, raw] : RawEnumCases<E>::table)
        if (known == value)
            return raw;
    return RawEnumCases<E>::table[0].second; // unreachable for a declared case
}

template <RawEnum E> constexpr std::optional<E> fromRawValue(RawValueOf<E> raw) {
    for (const auto& [known, value] : RawEnumCases<E>::table)
        if (value == raw)
            return known;
    return std::nullopt;
}

template <RawEnum E> constexpr auto allCases() {
    constexpr auto& table = RawEnumCases<E>::table;
    std::array<E, table.size()> cases{};
    for (std::size_t i = 0; i < table.size(); ++i)
        cases[i] = table[i].first;
    return cases;
}

} // namespace DewlightCore

namespace DewlightPlatform {

template <DewlightCore::RawEnum E> struct JsonCodec<E> {
    using Raw = DewlightCore::RawValueOf<E>;
    using Stored = std::conditional_t<std::is_same_v<Raw, std::string_view>, std::string, Raw>;

    static JsonValue encode(E value) { return Stored(DewlightCore::rawValue(value)); }
    static E decode(const JsonValue& json) {
        const auto raw = Json::decode<Stored>(json);
        if (const auto value = DewlightCore::fromRawValue<E>(Raw(raw)))
            return *value;
        if constexpr (std::is_same_v<Stored, std::string>)
            Json::throwDataCorrupted("unknown raw value \"" + raw + "\"");
        else
            Json::throwDataCorrupted("unknown raw value " + std::to_string(raw));
    }
};

} // namespace DewlightPlatform
