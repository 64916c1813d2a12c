// The English table. To add a key, add one row below: `same` for a text that reads as its
// key, `text` for other wording, `counted` for forms by plural category, `fractional` for a count
// written as a fraction.
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

// A count of glasses as a fraction text: under one glass it reads as the singular.
StringTable::Row fractional(std::string key, const std::string& underOne) {
    auto other = key;
    return {std::move(key),
            StringEntry{std::move(other), {}, {{"¼", underOne}, {"½", underOne}, {"¾", underOne}}}};
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
        fractional("%@ glasses", "%@ glass"), // a fraction such as "1¾" or "½"
        counted("%lld grouped entries", "%lld grouped entry"),
        counted("%lld minutes", "%lld minute"),
        same("%@ ml"),

        // Panel frame, footer and switch.
        same("Turn off"),
        same("Turn on"),
        same("Preferences"),
        same("Getting Started"),
        same("Quit"),
        same("Open at Login"),

        // Privacy line.
        same("No data collected"),
        same("No internet, no data collected"),

        // Update card.
        same("Version %@ is here"),
        text("Download it, quit the app and drag the new copy to Applications. Your settings stay.",
             "Download it, quit the app and install the new version. Your settings stay."),
        same("Download"),
        same("Not now"),

        // One-page welcome layout and its permission rows.
        same("Get Started"),
        same("Allowed"),
        same("Not allowed yet"),
        same("Optional"),

        // Panel status line.
        same("Next reminder at %@"),
        same("Snoozed until %@"),
        same("Next workday: %@"),
        same("Preparing reminders…"),
        same("Off: no reminders, counting goes on"),
        same("That is enough for today"),
        same("Notifications are off"),
        same("Reminders need attention"),

        // Where the data lives.
        text("Your data stays on this Mac while iCloud connects.",
             "Your data stays on this computer while your sync folder connects."),
        text("Your glasses and settings stay in your iCloud.",
             "Your glasses and settings stay in your sync folder."),
        text("Without iCloud, your data stays on this Mac.",
             "Without a sync folder, your data stays on this computer."),
        text("Your data stays on this Mac. iCloud needs attention.",
             "Your data stays on this computer. Your sync folder needs attention."),

        // Counter.
        same("4 sips = 1 glass"),
        same("Three glasses in an hour. Take your time."),
        same("That is enough for today. Let thirst guide you now."),
        same("Counting starts over at %@"),
        same("Let thirst guide you now. Reminders stop until the next workday."),
        same("A range, not a goal: 1 glass."),
        same("A range, not a goal: %@–%@ glasses."),
        same("A good time for a glass"),
        same("No entry to undo"),
        same("Undo %@ from %@"),

        // The tray icon's menu, for desktops that show one.
        same("Open Dewlight"),

        // Panel notices.
        same("Just one step left"),
        same("Allow notifications to get reminders during your workday. Counting works without "
             "them."),
        // A denied permission here means that no notification service answered on the session
        // bus: there is nothing to allow, so the notice says what is missing instead.
        same("No notification service answered on this desktop, so reminders cannot appear. "
             "Counting works without them."),
        same("Allow notifications"),
        text("Open System Settings", "Open Settings"),
        same("Could not prepare reminders"),
        same("Your counter is available. Try preparing reminders again."),
        same("Try again"),
        text("Could not sync with iCloud", "Could not sync through your sync folder"),
        text("Changes on other Macs may not appear yet. Try syncing again.",
             "Changes on other computers may not appear yet. Try syncing again."),
        same("Could not save your latest change"),
        same("Your latest change was not saved. Repeat the entry or action, or choose the setting "
             "again."),
        same("Check your working hours"),
        same("Choose at least one working hour and keep at least one working day."),
        same("Could not change Open at Login"),
        text("Open System Settings to review Login Items, then try again.",
             "Open Settings to review the apps that start at login, then try again."),
        text("Check the date and time on your Mac", "Check the date and time on your computer"),
        text("This day has already ended. Check your Mac date and time. Your entries are still "
             "here.",
             "This day has already ended. Check your computer's date and time. Your entries are "
             "still here."),

        // Settings card.
        same("General"),
        same("Your workday"),
        same("Reminders"),
        same("Glass size"),
        same("Remind every"),
        same("At the lower end of the range, the interval doubles. Above the range, reminders "
             "stop."),
        same("Erase…"),
        same("Erasing data…"),
        same("Erase glasses and settings?"),
        // An erase wins over what another computer counts while it is offline.
        text("This erases your glasses and settings on this computer and, once your sync folder "
             "syncs, on your other computers. The notification permission stays.",
             "This erases your glasses and settings on this computer and, once your sync folder "
             "syncs, on your other computers, also what they count until then. The notification "
             "permission stays."),
        same("Erase data"),
        same("Cancel"),

        // Working-hours fields.
        same("Start"),
        same("End"),
        same("Days"),
        same("Keep at least one working day."),

        // Welcome.
        same("A little water during your workday"),
        same("You do not need much. You just need some."),
        same("Step %lld of 2"),
        same("Your working hours"),
        same("A reminder at the right time"),
        same("Start without setup"),
        same("Continue"),
        same("Back"),
        same("Let’s go"),
        same("All set! Your reminders will arrive during your workday."),
        same("Allow silent notifications to receive reminders during your workday. You can keep "
             "counting without them."),

        // Start-up failure.
        same("Dewlight could not start."),
        same("Try again. Your saved data will stay where it is."),
    };
    return StringTable("en", std::move(rows));
}

} // namespace DewlightPlatform
