#pragma once

// A panel as the views would build it, with a model the tests read and write.
#include "kit/panel/AvailableUpdate.h"
#include "kit/panel/Panel.h"

#include <QUrl>
#include <vector>

namespace PanelSample {

using namespace DewlightPlatform;
using namespace KestraUI;

inline const KestraBrand brand{QStringLiteral("Dewlight"), QColor(10, 158, 194),
                               KestraBrand::Connection::offline, std::nullopt, std::nullopt};
inline const AvailableUpdate offer{QStringLiteral("1.4"),
                                   QUrl(QStringLiteral("https://example.org/d/"))};

// Stands in for the caller's content: a faint block 120 high.
inline ui::Node sampleContent() {
    return ui::fill(ui::Shape::roundedRectangle(16), ui::Color::primary().opacity(0.06))
        .frame(std::nullopt, 120);
}

// The panel's own state, as a view model would publish it.
struct PanelModel {
    bool on = true;
    std::vector<bool> sent;
    int guides = 0, preferences = 0;
    std::vector<bool> focus;
    Text status = Text("Next reminder at %@", {QStringLiteral("2:05\u202fPM")});
    bool withPreferences = true;
    std::optional<PanelFooterAction> action;
    LoginItem* loginItem = nullptr;
    bool switchEnabled = true;

    KestraPanel panel() {
        KestraPanel p{.brand = brand,
                      .status = status,
                      .dot = PanelStatus::working,
                      .isOn = ui::Binding<bool>([this] { return on; },
                                                [this](bool value) { sent.push_back(value); }),
                      .privacy = "Your data stays on this computer.",
                      .privacySymbol = "internaldrive",
                      .showGuide = [this] { ++guides; },
                      .footerAction = action,
                      .refreshLoginItemOnAppear = loginItem,
                      .isSwitchEnabled = switchEnabled,
                      .content = sampleContent()};
        if (withPreferences) {
            p.showPreferences = [this] { ++preferences; };
            p.preferencesFocusChanged = [this](bool on) { focus.push_back(on); };
        }
        return p;
    }
};

} // namespace PanelSample
