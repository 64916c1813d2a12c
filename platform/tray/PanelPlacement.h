#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace DewlightPlatform {

// Where the panel's top-left corner goes: centred below the tray icon, or above it when the icon
// sits in the lower half of its screen (a bottom panel); at the pointer when the desktop does not
// tell where the icon is. The panel always stays inside `available` (the screen less its panels);
// one larger than that keeps its top-left corner inside.
QPoint panelPosition(QSize panel, std::optional<QRect> icon, QPoint pointer, QRect available);

} // namespace DewlightPlatform
