#include "ViewsFixture.h"

#include "platform/calendar/Calendar.h"
#include "ui/Localization.h"
#include "ui/TreeQuery.h"
#include "views/ViewEnvironment.h"

using namespace DewlightViews;

namespace {

ui::Environment base(ui::ColorScheme scheme) {
    ui::Environment env = KitTest::environment(scheme);
    env.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    env.set(CalendarKey, std::make_shared<const DewlightPlatform::Calendar>(
                             DewlightPlatform::Calendar::gregorian(ViewsTest::zone)));
    return env;
}

} // namespace

ui::Environment ViewsTest::keyed(ui::ColorScheme scheme) {
    return base(scheme);
}

ui::Environment ViewsTest::shipped(ui::ColorScheme scheme) {
    ui::Environment env = base(scheme);
    env.localizer = ui::shippedLocalizer(env.locale);
    return env;
}

std::unique_ptr<ui::Host> ViewsTest::window(ui::Host::View view, const ui::Environment& env,
                                            double width) {
    auto host = std::make_unique<ui::Host>(view, env);
    const double height = ui::Layout(view(), env, {width, std::nullopt}).size().height();
    host->resize(int(width), int(std::ceil(height)));
    host->show();
    settle();
    return host;
}

QStringList ViewsTest::shownTexts(const ui::Element& element) {
    QStringList found;
    for (const ui::Element* e : texts(element))
        found << e->text;
    return found;
}

bool ViewsTest::shows(const ui::Layout& layout, const QString& id, const QString& text) {
    const ui::Element* element = layout.find(id);
    return element && shownTexts(*element).contains(text);
}

const ui::AccessibleNode* ViewsTest::accessible(const std::vector<ui::AccessibleNode>& tree,
                                                const QString& label) {
    return ui::firstAccessible(tree,
                               [&](const ui::AccessibleNode& node) { return node.label == label; });
}

Date ViewsTest::at(int hour, int minute, int day) {
    const auto calendar = DewlightPlatform::Calendar::gregorian(zone);
    DewlightPlatform::DateComponents parts;
    parts.year = 2026;
    parts.month = 10;
    parts.day = day;
    parts.hour = hour;
    parts.minute = minute;
    parts.second = 0;
    return calendar.date(parts).value();
}

RozivPreferencesState ViewsTest::plainPreferences() {
    RozivPreferencesState state;
    state.startMinute = 540;
    state.endMinute = 1080;
    state.days = {1, 2, 3, 4, 5};
    state.glassMilliliters = 250;
    state.intervalMinutes = 60;
    state.lowerRange = 3;
    state.upperRange = 5;
    return state;
}

RozivPanelState ViewsTest::plainState() {
    RozivPanelState state;
    state.status = RozivPanelStatus::scheduled(at(14, 5));
    state.remindersEnabled = true;
    state.quarters = 0;
    state.lowerRange = 3;
    state.upperRange = 5;
    state.canRecord = true;
    state.permission = RozivPermissionState::allowed;
    state.cloud = RozivCloudState::available;
    return state;
}
