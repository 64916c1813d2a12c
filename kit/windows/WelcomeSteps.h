#pragma once

#include "kit/panel/Text.h"
#include "kit/brand/KestraBrand.h"
#include "ui/Node.h"

#include <functional>
#include <optional>

namespace KestraUI {

// The pieces that fill a welcome-steps page: navigation buttons in the brand's style, and the
// rows that show one task of a step with its mark, detail, celebration and action.

// What a navigation button says, whether it can be pressed and what it does.
struct WelcomeStepsButton {
    Text title;
    bool isDisabled = false;
    std::function<void()> action;
};

// The title colour of a prominent button: black or white, whichever reads better on the brand
// colour.
struct WelcomeButtonLabel {
    KestraBrand brand;

    QColor resolve(const ui::Environment& environment) const {
        return brand.contrastingText(environment);
    }
};

// A navigation button: the prominent one is a capsule of the brand colour (half strength while
// disabled) with its title in the contrasting colour; the other is the bordered style. The
// title stays on one line at its full width.
struct WelcomeButton {
    WelcomeStepsButton button;
    KestraBrand brand;
    bool prominent = false;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

enum class WelcomeStepState { todo, done, attention };

// One task of a step: its mark, the caller's detail, then the celebration once done or the
// action while not done.
struct WelcomeStepRow {
    WelcomeStepState state = WelcomeStepState::todo;
    std::optional<Text> celebration;
    std::optional<WelcomeStepsButton> action;
    KestraBrand brand;
    ui::Node detail;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// An indented block of detail under a row.
struct WelcomeStepDetail {
    double spacing = 0;
    std::vector<ui::Node> content;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// The mark of a task in each state, coloured for the scheme painted.
ui::Node welcomeStepMark(WelcomeStepState state);

} // namespace KestraUI
