#include "updates/AppVersion.h"

#include <algorithm>

namespace DewlightUpdates {

namespace {

constexpr std::size_t maximumParts = 4;
constexpr std::size_t maximumDigits = 6;

// Only '0'...'9': a locale-aware digit test would let other scripts' digits through.
bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<AppVersion> AppVersion::parse(std::string_view text) {
    std::vector<std::int64_t> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = text.find('.', start);
        const std::string_view piece = text.substr(
            start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (parts.size() == maximumParts || piece.empty() || piece.size() > maximumDigits ||
            !std::all_of(piece.begin(), piece.end(), isAsciiDigit))
            return std::nullopt;
        std::int64_t value = 0;
        for (char c : piece)
            value = value * 10 + (c - '0');
        parts.push_back(value);
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    return AppVersion(std::move(parts), std::string(text));
}

std::weak_ordering operator<=>(const AppVersion& a, const AppVersion& b) {
    const std::size_t length = std::max(a.parts_.size(), b.parts_.size());
    for (std::size_t i = 0; i < length; ++i) {
        const std::int64_t left = i < a.parts_.size() ? a.parts_[i] : 0;
        const std::int64_t right = i < b.parts_.size() ? b.parts_[i] : 0;
        if (left != right)
            return left <=> right;
    }
    return std::weak_ordering::equivalent;
}

bool operator==(const AppVersion& a, const AppVersion& b) {
    return (a <=> b) == 0;
}

} // namespace DewlightUpdates
