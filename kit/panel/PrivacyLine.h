#pragma once

#include "kit/panel/Text.h"
#include "kit/brand/KestraBrand.h"
#include "ui/Node.h"

#include <QImage>

namespace KestraUI {

// The short promise about the user's data: a symbol and a text beside it on one baseline, in
// the privacy green of the scheme. It sets no font: the views that place it do.
ui::Node PrivacyLine(Text text, ui::SymbolName symbol);
// The brand's default promise: "No data collected" unless the app cannot reach the network.
ui::Node PrivacyLine(const KestraBrand& brand);

// The application's icon, a drop, as a square `size` points wide; hidden from assistive
// technology.
ui::Node AppIcon(double size);
// The icon as an image, for the desktop's window and tray icons.
const QImage& appIconImage();

} // namespace KestraUI
