#include "views/MenuView.h"

#include "kit/panel/Observe.h"
#include "kit/panel/UpdateCard.h"
#include "kit/windows/KestraFont.h"
#include "kit/windows/KestraMetrics.h"
#include "views/RozivBrand.h"
#include "views/RozivCounter.h"
#include "views/RozivFormat.h"
#include "views/RozivPanelNotices.h"
#include "views/RozivPanelTexts.h"
#include "views/ViewEnvironment.h"

namespace DewlightViews {

using KestraUI::PanelStatus;

PanelStatus panelDot(const RozivPanelStatus& status) {
    using Kind = RozivPanelStatus::Kind;
    switch (status.kind()) {
    case Kind::scheduled:
    case Kind::snoozed:
        return PanelStatus::working;
    case Kind::outside:
    case Kind::off:
    case Kind::enough:
        return PanelStatus::off;
    case Kind::preparing:
    case Kind::permission:
    case Kind::failed:
        break;
    }
    return PanelStatus::attention;
}

KestraUI::KestraPanel menuPanel(const RozivPanelState& state, const RozivSend& send,
                                const RozivFormat& format) {
    std::vector<ui::Node> content = RozivPanelNotices{state, send}.cards();
    content.push_back(RozivCounter{state, send});

    const bool onCloud = state.cloud == RozivCloudState::available;
    return KestraUI::KestraPanel{
        .brand = rozivBrand(),
        .status = KestraUI::Text(statusLine(state.status, format)),
        .dot = panelDot(state.status),
        // The switch shows what the model published; turning it only asks.
        .isOn = ui::Binding<bool>([on = state.remindersEnabled] { return on; },
                                  [send](bool on) { send(RozivViewAction::reminders(on)); }),
        .privacy = KestraUI::Text(privacyText(state.cloud)),
        .privacySymbol = onCloud ? ui::SymbolName("icloud") : ui::SymbolName("internaldrive"),
        .showGuide = [send] { send(RozivViewAction::openWelcome()); },
        .showPreferences = [send] { send(RozivViewAction::openPreferences()); },
        .refreshLoginItemOnAppear = nullptr,
        .isSwitchEnabled = true,
        .content = ui::vstack(std::move(content), ui::HorizontalAlignment::leading,
                              KestraUI::KestraMetrics::space16)};
}

ui::Node MenuView(DewlightViewModel& model, QPointer<KestraUI::UpdateNotifier> updateNotifier) {
    const QPointer<DewlightViewModel> target(&model);
    ui::Node view = ui::withEnvironment([target](const ui::Environment& env) -> ui::Node {
        if (!target)
            return {};
        const RozivSend send = [target](const RozivViewAction& action) {
            if (target)
                target->send(action);
        };
        const auto calendar = calendarOf(env);
        const RozivFormat format(env.locale, *calendar);
        return menuPanel(target->panel(), send, format);
    });
    return KestraUI::observing(&model, &DewlightViewModel::panelChanged, std::move(view))
        .environment(KestraUI::UpdateNotifierKey, std::move(updateNotifier))
        .font(font(KestraUI::KestraFont::detail));
}

} // namespace DewlightViews
