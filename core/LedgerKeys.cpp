#include "core/LedgerKeys.h"

#include "core/StorageKeys.h"

namespace DewlightCore {

std::string LedgerKeys::hashedKey(std::uint64_t counter, std::string_view text) {
    return "roziv.v1.p." + std::to_string(counter) + "." + StorageKeys::encode(text);
}

} // namespace DewlightCore
