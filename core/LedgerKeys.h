#pragma once

// The hashed keys of the shared store: a scope named by a generation's counter and a text.

#include <cstdint>
#include <string>
#include <string_view>

namespace DewlightCore {

struct LedgerKeys {
    // "roziv.v1.p.<counter>.<digest of text>": the scope of one generation's synced
    // preferences, built with the generation's counter and writer text.
    static std::string hashedKey(std::uint64_t counter, std::string_view text);
};

} // namespace DewlightCore
