// The English table. To add a key, add one row below: `same` for a text that reads as its
// key, `text` for other wording, `counted` for forms by plural category.
#include "platform/localization/StringTable.h"

namespace DewlightPlatform {

namespace {

StringTable::Row same(std::string key) {
    auto text = key;
    return {std::move(key), StringEntry{std::move(text), {}}};
}

StringTable::Row text(std::string key, std::string text) {
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

        // The panel frame and its cards.
        same("Turn off"),
        same("Turn on"),
        same("Preferences"),
        same("Getting Started"),
        same("Quit"),
        same("Open at Login"),
        same("No data collected"),
        same("No internet, no data collected"),
        same("Version %@ is here"),
        same("Download"),
        same("Not now"),
        // There is no Applications folder to drag to: name the download instead.
        text("Download it, quit the app and drag the new copy to Applications. Your settings stay.",
             "Download it, quit the app and install the downloaded copy. Your settings stay."),
    };
    return StringTable("en", std::move(rows));
}

} // namespace DewlightPlatform
