#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace DewlightPlatform {

// The text of one key: a single form, or forms by ICU plural category ("zero", "one", "two",
// "few", "many", "other"), chosen by the first integer argument of the lookup, or by the text of
// its first text argument.
struct StringEntry {
    std::string text;
    std::map<std::string, std::string, std::less<>> plural;
    // Forms for particular texts of the first text argument: a count written as a fraction
    // ("½") has no plural category of its own, yet English reads "½ glass" but "1½ glasses".
    std::map<std::string, std::string, std::less<>> forText = {};

    bool operator==(const StringEntry&) const = default;
};

// One language's key → text table. The key is the English text as the code writes it; a key
// the table lacks is shown as it is.
class StringTable {
public:
    using Row = std::pair<std::string, StringEntry>;

    // `language` is the ISO 639 code of the texts ("en"); it decides whose plural rules fit
    // them. A key listed twice keeps its first row.
    StringTable(std::string language, std::initializer_list<Row> rows);
    StringTable(std::string language, std::vector<Row> rows);

    const std::string& language() const { return language_; }
    const StringEntry* find(std::string_view key) const;
    std::vector<std::string> keys() const;

private:
    std::string language_;
    std::map<std::string, StringEntry, std::less<>> entries_;
};

// The shipped English texts: every key the application shows, with Linux wording where a key
// names another platform and singular forms for the counts.
StringTable englishStrings();

} // namespace DewlightPlatform
