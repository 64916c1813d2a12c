// The English table. To add a key, add one row below: `same` for a text that reads as its
// key, `text` for other wording, `counted` for forms by plural category.
#include "platform/localization/StringTable.h"

namespace DewlightPlatform {

namespace {

StringTable::Row same(std::string key) {
    auto text = key;
    return {std::move(key), StringEntry{std::move(text), {}}};
}

[[maybe_unused]] StringTable::Row text(std::string key, std::string text) {
    return {std::move(key), StringEntry{std::move(text), {}}};
}

StringTable::Row counted(std::string key, std::string one) {
    auto other = key;
    return {std::move(key), StringEntry{other, {{"one", std::move(one)}, {"other", other}}}};
}

} // namespace

StringTable englishStrings() {
    std::vector<StringTable::Row> rows = {
        // Reminder notifications.
        same("Time for some water."),
        same("A short pause for water."),
        same("Even a sip counts."),
        same("Take a moment for water."),
        same("A little water before the weekend."),
        same("It has been an hour since your last drink."),
        same("A glass"),
        same("A sip"),
        same("In 15 minutes"),

        // Counts.
        counted("%lld glasses", "%lld glass"),
        counted("%lld sips", "%lld sip"),
    };
    return StringTable("en", std::move(rows));
}

} // namespace DewlightPlatform
