#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <optional>
#include <span>

// Where windows go: pure functions of the screens, so they can be checked over made-up ones.
// Coordinates are the desktop's, with y growing downwards.
namespace KestraUI::WindowGeometry {

// One screen as placement sees it.
struct ScreenArea {
    QRect frame;     // the whole screen
    QRect available; // less panels and docks
    double scale = 1; // device pixels per logical pixel
};

// Content never grows closer than this to the available height.
inline constexpr int screenMargin = 64;

// A fitted window: the outer frame (decorations included) and the client size inside it.
struct Fit {
    QRect frame;
    QSize client;
    bool operator==(const Fit&) const = default;
};

// Fits a window to its content's size: the height raised to the next multiple of 4, capped by
// the available height less the margin and less the window's own decorations, the frame
// clamped to the available area. The top edge stays where it was when `anchorsTop`, otherwise
// the vertical centre; the horizontal centre always stays. The frame ends up inside `available`
// (as far as it is large enough to hold a frame at all).
Fit fit(QSizeF content, const QRect& currentFrame, const QMargins& decorations,
        const QRect& available, bool anchorsTop);

// The screen under the pointer: the first whose frame holds it, else the primary one; none
// without screens.
std::optional<std::size_t> screenUnder(QPoint pointer, std::span<const ScreenArea> screens,
                                       std::optional<std::size_t> primary);
// The screen with the most device pixels per logical pixel; the earlier one on a tie.
std::optional<std::size_t> sharpestScreen(std::span<const ScreenArea> screens);

// The top-left corner that centres a frame of `size` in `available`, each coordinate rounded
// to the nearest whole pixel (halves away from zero).
QPoint centredOrigin(const QRect& available, QSize size);

} // namespace KestraUI::WindowGeometry
