#pragma once

#include "core/Identity.h"
#include "core/Json.h"

#include <compare>
#include <cstdint>
#include <functional>

namespace DewlightCore {

// One erase epoch of an account's data: how many erases lie behind it and who started it.
// Ordered by counter, then by writer text, so a later erase is always the greater generation
// and two machines erasing at once still end up with one winner.
class ResetGeneration {
public:
    ResetGeneration(std::uint64_t counter, Identity<WriterTag> writer)
        : counter_(counter), writer_(std::move(writer)) {}

    std::uint64_t counter() const { return counter_; }
    const Identity<WriterTag>& writer() const { return writer_; }

    // The generation an erase by `writer` starts. Throws `invalidLedger` when the counter is
    // already at its largest value.
    ResetGeneration next(Identity<WriterTag> writer) const;

    friend bool operator==(const ResetGeneration&, const ResetGeneration&) = default;
    friend std::strong_ordering operator<=>(const ResetGeneration&,
                                            const ResetGeneration&) = default;

private:
    std::uint64_t counter_;
    Identity<WriterTag> writer_;
};

} // namespace DewlightCore

// {"counter": unsigned integer, "writer": identity}
template <> struct DewlightPlatform::JsonCodec<DewlightCore::ResetGeneration> {
    static JsonValue encode(const DewlightCore::ResetGeneration& generation);
    static DewlightCore::ResetGeneration decode(const JsonValue& json);
};

template <> struct std::hash<DewlightCore::ResetGeneration> {
    std::size_t operator()(const DewlightCore::ResetGeneration& generation) const noexcept {
        const std::size_t counter = std::hash<std::uint64_t>{}(generation.counter());
        const std::size_t writer =
            std::hash<DewlightCore::Identity<DewlightCore::WriterTag>>{}(generation.writer());
        return counter ^ (writer + 0x9e3779b97f4a7c15ULL + (counter << 6) + (counter >> 2));
    }
};
