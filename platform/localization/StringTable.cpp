#include "platform/localization/StringTable.h"

namespace DewlightPlatform {

StringTable::StringTable(std::string language, std::initializer_list<Row> rows)
    : StringTable(std::move(language), std::vector<Row>(rows)) {}

StringTable::StringTable(std::string language, std::vector<Row> rows)
    : language_(std::move(language)) {
    for (auto& row : rows)
        entries_.try_emplace(std::move(row.first), std::move(row.second));
}

const StringEntry* StringTable::find(std::string_view key) const {
    const auto found = entries_.find(key);
    return found == entries_.end() ? nullptr : &found->second;
}

std::vector<std::string> StringTable::keys() const {
    std::vector<std::string> keys;
    keys.reserve(entries_.size());
    for (const auto& [key, entry] : entries_)
        keys.push_back(key);
    return keys;
}

} // namespace DewlightPlatform
