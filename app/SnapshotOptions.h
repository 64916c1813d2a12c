#pragma once

// What a snapshot shows and how: the view and its width, and the options read from the command
// line (the colour scheme, the output, the welcome step).

#include "ui/Environment.h"
#include "ui/Node.h"
#include "views/DewlightViewModel.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace DewlightApp {

// A window view of a snapshot and the width it is laid out at.
struct SnapshotView {
    ui::Node view;
    double width = 0;
};

// What the snapshot options on the command line ask for. Unknown or missing values fall back
// silently: the system's appearance, step 1, the menu panel.
struct SnapshotOptions {
    // The layout width of the welcome view and the preferences card.
    static constexpr double windowWidth = 560;

    // "--snapshot-appearance": "dark" or "light"; anything else keeps the system's.
    static std::optional<ui::ColorScheme> appearance(const QStringList& arguments);

    // "--snapshot-file": the output (a path, or "-" for standard output), or none.
    static std::optional<QString> output(const QStringList& arguments);

    // "--snapshot-step" read as a decimal integer with an optional sign; 1 when missing, empty or
    // not an integer.
    static int welcomeStep(const QStringList& arguments);

    // The welcome view ("--snapshot-welcome", first) or the preferences card
    // ("--snapshot-preferences") for the model, carrying the appearance; none for the menu panel.
    static std::optional<SnapshotView> makeView(DewlightViews::DewlightViewModel& model,
                                                std::optional<ui::ColorScheme> appearance,
                                                const QStringList& arguments);
};

// The view with `appearance` as its colour scheme; unchanged when none was chosen.
ui::Node withAppearance(ui::Node view, std::optional<ui::ColorScheme> appearance);

} // namespace DewlightApp
