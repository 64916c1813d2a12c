#include "core/StorageKeys.h"

#include "core/WorkdayID.h"

#include <array>
#include <bit>
#include <cstdint>
#include <openssl/evp.h>
#include <stdexcept>

namespace DewlightCore {

std::string StorageKeys::encode(std::string_view text) {
    // An empty view may carry a null pointer; libcrypto wants a valid one.
    static constexpr char empty = '\0';
    const char* data = text.empty() ? &empty : text.data();

    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int digestSize = 0;
    if (EVP_Digest(data, text.size(), digest.data(), &digestSize, EVP_sha256(), nullptr) != 1 ||
        digestSize != 32) {
        // No key can be named without the digest; never hand out a wrong one.
        throw std::runtime_error("SHA-256 is not available");
    }

    // EVP_EncodeBlock writes plain RFC 4648 Base64 without line breaks, NUL-terminated:
    // 32 bytes give 44 characters ending in one '='.
    std::array<unsigned char, 45> base64{};
    const int written = EVP_EncodeBlock(base64.data(), digest.data(), 32);

    std::string result;
    result.reserve(43);
    for (int i = 0; i < written; ++i) {
        const char c = static_cast<char>(base64[static_cast<std::size_t>(i)]);
        if (c == '+') {
            result.push_back('-');
        } else if (c == '/') {
            result.push_back('_');
        } else if (c != '=') {
            result.push_back(c);
        }
    }
    return result;
}

namespace {

// The bit pattern, not the value, is written: it is exact for every double.
std::string dayText(double civilDate) {
    static constexpr std::string_view digits = "0123456789abcdefghijklmnopqrstuvwxyz";
    auto bits = std::bit_cast<std::uint64_t>(civilDate);
    std::string reversed;
    do {
        reversed.push_back(digits[bits % 36]);
        bits /= 36;
    } while (bits != 0);
    return {reversed.rbegin(), reversed.rend()};
}

} // namespace

std::string StorageKeys::day(const WorkdayID& workday) {
    return dayText(workday.civilDate());
}

} // namespace DewlightCore
