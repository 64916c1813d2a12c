#pragma once

// The welcome-steps page: the step part over its footer, and the looks the steps share.

#include "kit/panel/Text.h"
#include "kit/brand/KestraBrand.h"
#include "kit/windows/WelcomeSteps.h"
#include "ui/Binding.h"
#include "ui/Node.h"
#include "ui/SymbolName.h"

#include <optional>

namespace KestraUI {

namespace WelcomeStepsStyle {
// Between the step part and the footer, added to their heights for the page's ideal height:
// the chrome's padding above and below (16 + 32 + 32) and the gap between the two (32).
inline constexpr double chromePadding = 80;
inline constexpr double partGap = 32;
inline constexpr double dotSize = 8;
inline constexpr double markSize = 24;
inline constexpr double markFillOpacity = 0.25;
// Explicit ids of the parts, which tests and pictures look for.
inline constexpr const char* stepPartId = "welcomeStep";
inline constexpr const char* footerId = "welcomeFooter";
inline constexpr const char* dotsId = "welcomeDots";
} // namespace WelcomeStepsStyle

// The page of a step-by-step welcome: the header, the current step with its number, title,
// progress and card, the privacy lines, then the "Open at Login" switch, the buttons and a
// note. It measures its two parts and asks its fixed window for the height it needs; when the
// window cannot grow that far, the step part scrolls and the footer stays in view. It decides
// nothing about the flow: every button runs the caller's action.
struct WelcomeStepsLayout {
    KestraBrand brand;
    Text title;
    Text lead;
    int step = 1;
    int stepCount = 1;
    std::optional<Text> stepLabel; // none: neither label nor dots
    Text stepTitle;
    bool isStepDone = false;
    Text privacy;
    ui::SymbolName privacySymbol = "hand.raised";
    ui::Binding<bool> opensAtLogin = ui::Binding<bool>::constant(false);
    std::optional<WelcomeStepsButton> skip;
    std::optional<WelcomeStepsButton> back;
    WelcomeStepsButton primary;
    std::optional<Text> note;
    ui::Node card;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// The page's ideal height from its measured parts.
inline double welcomeStepsIdealHeight(double stepHeight, double footerHeight) {
    return stepHeight + WelcomeStepsStyle::chromePadding + WelcomeStepsStyle::partGap +
           footerHeight;
}

} // namespace KestraUI
