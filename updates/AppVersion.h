#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace DewlightUpdates {

// A release number such as 1.4.2: one to four parts of one to six ASCII digits. Ordered by its
// parts with missing trailing parts read as zero, so 1.2 == 1.2.0; shown, stored and offered by
// the exact text it was read from (01.2 stays 01.2).
class AppVersion {
public:
    // Nothing when the text breaks the grammar; nothing is trimmed.
    static std::optional<AppVersion> parse(std::string_view text);

    const std::vector<std::int64_t>& parts() const { return parts_; }
    const std::string& description() const { return description_; }

    friend bool operator==(const AppVersion& a, const AppVersion& b);
    friend std::weak_ordering operator<=>(const AppVersion& a, const AppVersion& b);

private:
    AppVersion(std::vector<std::int64_t> parts, std::string description)
        : parts_(std::move(parts)), description_(std::move(description)) {}

    std::vector<std::int64_t> parts_;
    std::string description_;
};

} // namespace DewlightUpdates
