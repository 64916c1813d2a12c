#include "views/SettingsCard.h"

#include "kit/panel/Observe.h"
#include "kit/panel/PreferencesControls.h"
#include "kit/panel/PreferencesRows.h"
#include "kit/brand/BrandPalette.h"
#include "kit/brand/KestraFont.h"
#include "kit/brand/KestraMetrics.h"
#include "kit/windows/PreferencesChrome.h"
#include "ui/Controls.h"
#include "views/RozivBrand.h"
#include "views/RozivWorkdayFields.h"
#include "views/ViewEnvironment.h"

#include <QPointer>

namespace DewlightViews {

namespace {

namespace S = SettingsCardStyle;
namespace M = KestraUI::KestraMetrics;
using KestraUI::Text;

// A menu of fixed values whose selection reads the model each time it is read and whose writes
// only send: nothing is kept here.
ui::Node valueMenu(Text title, std::function<std::int64_t()> published,
                   std::function<void(std::int64_t)> send, std::vector<std::int64_t> options,
                   std::function<Text(const std::int64_t&)> label) {
    return KestraUI::PreferencesChoiceMenu<std::int64_t>{
        std::move(title), ui::Binding<std::int64_t>(std::move(published), std::move(send)),
        std::move(options), std::move(label)};
}

ui::Node card(const QPointer<DewlightViewModel>& target, const ui::Binding<bool>& confirmsErase) {
    const RozivSend send = [target](const RozivViewAction& action) {
        if (target)
            target->send(action);
    };
    const RozivPreferencesState& preferences = target->preferences();

    const ui::Node general = KestraUI::PreferencesGroup{
        "General",
        {KestraUI::PreferencesToggleRow{
            "Open at Login", std::nullopt,
            ui::Binding<bool>([on = preferences.opensAtLogin] { return on; },
                              [send](bool on) { send(RozivViewAction::login(on)); })}}};

    const ui::Node workday =
        KestraUI::PreferencesGroup{"Your workday", RozivWorkdayFields{preferences, send}.rows()};

    const ui::Node glass = valueMenu(
        "Glass size", [target] { return target ? target->preferences().glassMilliliters : 0; },
        [send](std::int64_t ml) { send(RozivViewAction::glassMilliliters(ml)); },
        S::glassMilliliters,
        [](const std::int64_t& ml) {
            // Plain digits: a size is not a quantity to group.
            return Text(QStringLiteral("%@ ml"), {QString::number(ml)});
        });
    const ui::Node interval = valueMenu(
        "Remind every", [target] { return target ? target->preferences().intervalMinutes : 0; },
        [send](std::int64_t minutes) { send(RozivViewAction::intervalMinutes(minutes)); },
        S::intervalMinutes,
        [](const std::int64_t& minutes) {
            return Text(QStringLiteral("%lld minutes"), {static_cast<long long>(minutes)});
        });
    const ui::Node reminders = KestraUI::PreferencesGroup{
        "Reminders",
        {KestraUI::PreferencesRow{"Glass size", std::nullopt, true, glass.id(S::glassId)},
         KestraUI::PreferencesRow{"Remind every", std::nullopt, true, interval.id(S::intervalId)},
         KestraUI::PreferencesNote{"At the lower end of the range, the interval doubles. Above "
                                   "the range, reminders stop."}}};

    std::vector<ui::Node> eraseStack{
        KestraUI::preferencesButtonStyle(
            ui::button(KestraUI::preferencesDestructive(ui::text(QStringLiteral("Erase…"))),
                       [confirmsErase] { confirmsErase.set(true); }))
            .disabled(preferences.isErasing)
            .id(S::eraseId)};
    if (preferences.isErasing)
        eraseStack.push_back(ui::text(QStringLiteral("Erasing data…"))
                                 .font(KestraUI::font(KestraUI::KestraFont::support))
                                 .foreground(KestraUI::BrandPalette::muted));
    const ui::Node erase = ui::vstack(std::move(eraseStack), ui::HorizontalAlignment::leading, 8);

    return KestraUI::PreferencesLayout{rozivBrand(), "Preferences",
                                       ui::vstack({general, workday, reminders, erase},
                                                  ui::HorizontalAlignment::leading, M::space32)}
        .body()
        .confirmationDialog(
            confirmsErase,
            {.title = QStringLiteral("Erase glasses and settings?"),
             .message = QStringLiteral("This erases your glasses and settings on this computer "
                                       "and, once your sync folder syncs, on your other "
                                       "computers. The notification permission stays."),
             .confirm = QStringLiteral("Erase data")},
            [send] { send(RozivViewAction::erase()); });
}

} // namespace

ui::Node SettingsCard(DewlightViewModel& model) {
    const QPointer<DewlightViewModel> target(&model);
    ui::Node view = ui::withState<bool>([] { return false; },
                                        [target](ui::Binding<bool> confirmsErase) -> ui::Node {
                                            if (!target)
                                                return {};
                                            return card(target, confirmsErase);
                                        });
    return KestraUI::observing(&model, &DewlightViewModel::preferencesChanged, std::move(view));
}

} // namespace DewlightViews
