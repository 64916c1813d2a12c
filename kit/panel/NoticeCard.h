#pragma once

#include "kit/panel/Text.h"
#include "ui/Node.h"

#include <vector>

namespace KestraUI {

// The card for a problem that needs the user: an icon and title in the warning colour, a
// message that wraps as far as it needs, and a row of small bordered buttons. A faint fill lies
// over a warning tint.
ui::Node NoticeCard(ui::SymbolName symbol, Text title, Text message,
                    std::vector<ui::Node> actions = {});

} // namespace KestraUI
