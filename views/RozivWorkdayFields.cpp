#include "views/RozivWorkdayFields.h"

#include "kit/panel/FocusRing.h"
#include "kit/panel/PreferencesControls.h"
#include "kit/panel/PreferencesRows.h"
#include "kit/windows/KestraFont.h"
#include "ui/Controls.h"
#include "views/RozivBrand.h"
#include "views/RozivFormat.h"

#include <memory>

namespace DewlightViews {

namespace {

namespace S = WorkdayFieldsStyle;
using KestraUI::Text;

std::vector<std::int64_t> everyHalfHour(std::int64_t first, std::int64_t last) {
    std::vector<std::int64_t> minutes;
    for (std::int64_t minute = first; minute <= last; minute += 30)
        minutes.push_back(minute);
    return minutes;
}

// A menu of clock times. It shows the published minute even when the list lacks it (a value
// stored by another version), but offers no entry for it.
ui::Node timeMenu(Text title, std::int64_t shown, std::vector<std::int64_t> minutes,
                  std::function<void(std::int64_t)> send) {
    return ui::withEnvironment([=](const ui::Environment& env) -> ui::Node {
        // Clock texts are zone-free; the calendar is only what the formatter is made with.
        const auto format = std::make_shared<RozivFormat>(env.locale, *calendarOf(env));
        return KestraUI::PreferencesChoiceMenu<std::int64_t>{
            title, ui::Binding<std::int64_t>([shown] { return shown; }, send), minutes,
            [format](const std::int64_t& minute) {
                return Text::verbatim(format->clockText(minute));
            }};
    });
}

ui::Node dayButtons(const RozivPreferencesState& state, const RozivSend& send) {
    return ui::withEnvironment([days = state.days, send](const ui::Environment& env) {
        const RozivFormat format(env.locale, *calendarOf(env));
        const ui::Color accent = ui::Color::fixed(rozivBrand().accent(env.scheme));
        const ui::Shape circle = ui::Shape::circle();
        std::vector<ui::Node> buttons;
        for (std::int64_t day = 1; day <= 7; ++day) {
            const bool selected = days.contains(day);
            ui::Node label =
                ui::verbatim(format.weekdayName(day, RozivFormat::WeekdayWidth::narrow))
                    .font(KestraUI::font(selected ? KestraUI::KestraFont::supportSemibold
                                                  : KestraUI::KestraFont::support))
                    .foreground(ui::Color::primary())
                    .frame(S::dayDiameter, S::dayDiameter)
                    .background(ui::fill(circle, ui::Color::quaternary()));
            if (selected)
                label = label.overlay(ui::strokeBorder(circle, accent, S::selectedRingWidth));
            label = label.contentShape(circle);
            ui::Node button = ui::button(label, [send, day] {
                                  send(RozivViewAction::day(day));
                              }).buttonStyle(ui::ButtonStyle::plain);
            button = KestraUI::preferencesFocusRing(button, circle)
                         .accessibility(
                             {.label = format.weekdayName(day, RozivFormat::WeekdayWidth::wide),
                              .traits =
                                  selected ? ui::Accessibility::selected : ui::Accessibility::none})
                         // The last working day cannot be pressed: the week keeps one.
                         .disabled(selected && days.size() == 1)
                         .id(QString::fromLatin1(S::dayId) + QString::number(day));
            buttons.push_back(std::move(button));
        }
        return ui::hstack(std::move(buttons), ui::VerticalAlignment::center, S::daySpacing);
    });
}

} // namespace

std::vector<std::int64_t> RozivWorkdayFields::startMinutes() {
    return everyHalfHour(300, 780);
}

std::vector<std::int64_t> RozivWorkdayFields::endMinutes() {
    return everyHalfHour(600, 1410);
}

std::vector<ui::Node> RozivWorkdayFields::rows() const {
    const RozivSend forward = send;
    const ui::Node start =
        timeMenu("Start", state.startMinute, startMinutes(), [forward](std::int64_t minute) {
            forward(RozivViewAction::startMinute(minute));
        }).id(S::startId);
    const ui::Node end =
        timeMenu("End", state.endMinute, endMinutes(), [forward](std::int64_t minute) {
            forward(RozivViewAction::endMinute(minute));
        }).id(S::endId);
    return {
        KestraUI::PreferencesRow{"Start", std::nullopt, true, start},
        KestraUI::PreferencesRow{"End", std::nullopt, true, end},
        KestraUI::PreferencesRow{"Days", std::nullopt, false, dayButtons(state, send)},
        KestraUI::PreferencesNote{"Keep at least one working day."},
        KestraUI::PreferencesNote{
            KestraUI::Text(RozivFormat::rangeText(state.lowerRange, state.upperRange))},
    };
}

ui::Node RozivWorkdayFields::body() const {
    return ui::vstack(rows(), ui::HorizontalAlignment::leading, 0);
}

} // namespace DewlightViews
