#include "kit/windows/WindowGeometry.h"

#include <algorithm>
#include <cmath>

namespace KestraUI::WindowGeometry {

Fit fit(QSizeF content, const QRect& currentFrame, const QMargins& decorations,
        const QRect& available, bool anchorsTop) {
    const int decorationWidth = decorations.left() + decorations.right();
    const int decorationHeight = decorations.top() + decorations.bottom();
    const double raised = std::ceil(content.height() * 0.25) * 4;
    // On this desktop the title bar lies outside the client area, so the window's own
    // decorations come off the room the content may take.
    const double cap = std::max(
        std::min(available.height() - screenMargin, available.height() - decorationHeight), 1);
    const int clientHeight = int(std::min(cap, raised));
    const int clientWidth = int(std::ceil(content.width()));

    const int frameWidth = std::min(available.width(), clientWidth + decorationWidth);
    const int frameHeight = std::min(available.height(), clientHeight + decorationHeight);

    const double centreX = currentFrame.x() + currentFrame.width() / 2.0;
    const double centreY = currentFrame.y() + currentFrame.height() / 2.0;
    double x = centreX - frameWidth / 2.0;
    double y = anchorsTop ? double(currentFrame.y()) : centreY - frameHeight / 2.0;
    x = std::round(x);
    y = std::round(y);
    const int right = available.x() + available.width();
    const int bottom = available.y() + available.height();
    x = std::max(double(available.x()), std::min(double(right - frameWidth), x));
    y = std::max(double(available.y()), std::min(double(bottom - frameHeight), y));

    return {QRect(int(x), int(y), frameWidth, frameHeight),
            QSize(std::max(frameWidth - decorationWidth, 1),
                  std::max(frameHeight - decorationHeight, 1))};
}

std::optional<std::size_t> screenUnder(QPoint pointer, std::span<const ScreenArea> screens,
                                       std::optional<std::size_t> primary) {
    for (std::size_t i = 0; i < screens.size(); ++i)
        if (screens[i].frame.contains(pointer))
            return i;
    if (primary && *primary < screens.size())
        return primary;
    return std::nullopt;
}

std::optional<std::size_t> sharpestScreen(std::span<const ScreenArea> screens) {
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < screens.size(); ++i)
        if (!best || screens[i].scale > screens[*best].scale)
            best = i;
    return best;
}

QPoint centredOrigin(const QRect& available, QSize size) {
    const double x = available.x() + available.width() / 2.0 - size.width() / 2.0;
    const double y = available.y() + available.height() / 2.0 - size.height() / 2.0;
    return {int(std::round(x)), int(std::round(y))};
}

} // namespace KestraUI::WindowGeometry
