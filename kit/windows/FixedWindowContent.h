#pragma once

#include "ui/Environment.h"
#include "ui/Node.h"

#include <QSizeF>
#include <functional>
#include <optional>

namespace KestraUI {

// How content asks its fixed window for a size.
struct FixedWindowSizeReport {
    std::function<void(QSizeF)> report;
};

// Set by a fixed window whose content does not scroll: the content reports its own ideal size
// through it. None outside such a window.
using FixedWindowIdealSizeKey = ui::EnvironmentKey<std::optional<FixedWindowSizeReport>>;
inline const FixedWindowIdealSizeKey fixedWindowIdealSizeKey{std::nullopt};

inline const std::optional<FixedWindowSizeReport>&
fixedWindowIdealSize(const ui::Environment& environment) {
    return environment.value(fixedWindowIdealSizeKey);
}

namespace FixedWindowStyle {
// The bar that covers the top of scrolled content, where the title bar's strip would be.
inline constexpr double edgeBarHeight = 28;
inline constexpr double edgeSeparatorHeight = 1;
inline constexpr double edgeBarFadeSeconds = 0.15;
// The explicit id of the bar, which tests and pictures look for.
inline constexpr const char* edgeBarId = "scrollEdgeBar";
} // namespace FixedWindowStyle

// What a fixed window hosts around its content. Without scrolling the content sits at the
// window's width and reports its own size; with scrolling it sits at its ideal size in a
// vertical scroll view, is measured, and a bar with a separator covers the top edge while the
// content is scrolled.
struct FixedWindowContent {
    ui::Node content;
    double initialWidth = 0;
    bool scrolls = false;
    std::function<void(QSizeF)> resize;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// The content at the top of a frame at least as tall as it, on the scheme's ground. A window or a
// picture is its content's size rounded up to whole device pixels: the ground, not the desktop's
// palette or a clear, shows in that last part of a pixel.
ui::Node onWindowGround(ui::Node content);

} // namespace KestraUI
