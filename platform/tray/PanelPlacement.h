#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace DewlightPlatform {

// Where the panel's top-left corner goes: centred below the tray icon's `anchor` (its geometry,
// or the point where it was clicked), or above it when the anchor sits in the lower half of its
// screen (a bottom panel). The panel always stays inside `available` (the screen less its
// panels); one larger than that keeps its top-left corner inside.
QPoint panelPosition(QSize panel, QRect anchor, QRect available);

} // namespace DewlightPlatform
