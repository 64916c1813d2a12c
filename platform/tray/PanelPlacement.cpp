#include "platform/tray/PanelPlacement.h"

#include <algorithm>

namespace DewlightPlatform {

namespace {
// Between the icon and the panel's edge.
constexpr int gap = 4;

int clampInto(int start, int length, int low, int high) {
    // high is one past the last pixel.
    return std::max(low, std::min(start, high - length));
}
} // namespace

QPoint panelPosition(QSize panel, QRect anchor, QRect available) {
    const bool below = anchor.center().y() < available.center().y();
    const int x = anchor.center().x() - panel.width() / 2;
    const int y = below ? anchor.bottom() + 1 + gap : anchor.top() - gap - panel.height();
    return {clampInto(x, panel.width(), available.left(), available.right() + 1),
            clampInto(y, panel.height(), available.top(), available.bottom() + 1)};
}

} // namespace DewlightPlatform
