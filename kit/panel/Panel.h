#pragma once

#include "kit/panel/LoginItem.h"
#include "kit/panel/Text.h"
#include "kit/windows/KestraBrand.h"
#include "ui/Binding.h"
#include "ui/Node.h"

#include <array>
#include <functional>
#include <optional>
#include <variant>

namespace KestraUI {

// What the header's dot shows; not the core's panel status.
enum class PanelStatus { working, off, attention, recording };
inline constexpr std::array<PanelStatus, 4> allPanelStatuses = {
    PanelStatus::working, PanelStatus::off, PanelStatus::attention, PanelStatus::recording};
// The dot's colour in `scheme`: the privacy green, muted, the warning colour or red.
ui::Color dotColor(PanelStatus status, ui::ColorScheme scheme);

// One extra footer button. Its badge, when set, follows the version text, never the button.
struct PanelFooterAction {
    ui::SymbolName symbol;
    Text title; // tooltip and accessibility label
    std::optional<Text> badge = std::nullopt;
    bool showsDot = false;
    std::function<void()> perform = {};
};

// "Norvane (" + the version + ")", with "?" for a missing or empty version.
QString footerVersionLine(const char* version);

// The menu-bar panel: a header (icon, brand name, status dot and line, on/off switch), the
// caller's content, an update card while a newer version is on offer, and a footer (privacy
// lines, version, and the preferences, extra, guide and quit buttons), in a column 368 wide.
//
// The status form sets `dot` to a PanelStatus and draws the brand background under the brand's
// tint; `withDotColor` makes the other form. The offer comes from the sample notifier when the
// process was started with "--snapshot-update", otherwise from UpdateNotifierKey; each time the
// panel comes on screen it refreshes `refreshLoginItemOnAppear` (when given) and asks the
// notifier to check. Ctrl+Comma opens the preferences (only while that button is there),
// Ctrl+Q quits.
struct KestraPanel {
    using Dot = std::variant<PanelStatus, ui::Color>;

    KestraBrand brand;
    Text status;
    Dot dot;
    ui::Binding<bool> isOn;
    Text privacy;
    ui::SymbolName privacySymbol;
    std::function<void()> showGuide;
    std::function<void()> showPreferences = {};
    std::function<void(bool)> preferencesFocusChanged = {};
    std::optional<PanelFooterAction> footerAction = std::nullopt;
    // The login item to read again each time the panel comes on screen; none: no refresh.
    LoginItem* refreshLoginItemOnAppear = nullptr;
    bool isSwitchEnabled = true;
    ui::Node content = {};

    // The dot-colour form: no brand background, the tint cleared, no preferences button, the
    // login item refreshed on appear and the switch enabled.
    struct DotColorForm {
        KestraBrand brand;
        Text status;
        ui::Color dotColor;
        ui::Binding<bool> isOn;
        Text privacy;
        ui::SymbolName privacySymbol;
        std::function<void()> showGuide;
        std::optional<PanelFooterAction> footerAction;
        LoginItem& loginItem;
        ui::Node content;
    };
    static KestraPanel withDotColor(DotColorForm form);

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// The panel's header. The switch writes through `isOn`, is tinted with the brand's accent in
// both forms, takes clicks over 44 × 44 and says "Turn off" or "Turn on".
struct PanelHeader {
    KestraBrand brand;
    Text status; // at most two lines
    ui::Color dotColor;
    ui::Binding<bool> isOn;
    bool isSwitchEnabled = true;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// The panel's footer.
struct PanelFooter {
    KestraBrand brand;
    Text privacy;
    ui::SymbolName privacySymbol;
    std::function<void()> showGuide;
    std::function<void()> showPreferences = {};
    std::function<void(bool)> preferencesFocusChanged = {};
    std::optional<PanelFooterAction> footerAction = std::nullopt;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// A round footer button: a symbol on a faint circle that darkens under the pointer, an optional
// dot at its top-trailing corner, its title as tooltip and accessibility label. `focusChanged`
// hears each change of its keyboard focus, and false when it leaves the screen.
struct PanelFooterButton {
    Text title;
    ui::SymbolName symbol;
    bool showsDot = false;
    ui::Color dotColor = ui::Color::accent(); // never drawn without the dot
    std::function<void()> action;
    std::function<void(bool)> focusChanged = {};

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// Identities of the panel's parts, for tests and for views that measure them.
namespace PanelPart {
inline const QString header = QStringLiteral("kestraUI.panel.header");
inline const QString content = QStringLiteral("kestraUI.panel.content");
inline const QString updateCard = QStringLiteral("kestraUI.panel.updateCard");
inline const QString footer = QStringLiteral("kestraUI.panel.footer");
inline const QString versionLine = QStringLiteral("kestraUI.panel.versionLine");
inline const QString preferences = QStringLiteral("kestraUI.panel.preferences");
inline const QString footerAction = QStringLiteral("kestraUI.panel.footerAction");
inline const QString guide = QStringLiteral("kestraUI.panel.guide");
inline const QString quit = QStringLiteral("kestraUI.panel.quit");
inline const QString onOff = QStringLiteral("kestraUI.panel.switch");
} // namespace PanelPart

} // namespace KestraUI
