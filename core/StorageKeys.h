#pragma once

#include <string>
#include <string_view>

namespace DewlightCore {

class WorkdayID;

// The two text pieces every cloud key is built from. Other machines rebuild keys
// byte for byte and compare, so neither may change.
struct StorageKeys {
    // SHA-256 of the UTF-8 bytes, URL-safe Base64 without padding: always 43 characters.
    // Free-form identifiers enter a key only through this digest.
    static std::string encode(std::string_view text);

    // Lowercase base 36 of the 64-bit pattern of the day's civil date (seconds since
    // 2001 as a double): 1 to 13 characters.
    static std::string day(const WorkdayID& workday);
};

} // namespace DewlightCore
