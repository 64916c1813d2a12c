#pragma once

#include "kit/panel/Text.h"
#include "ui/Node.h"

#include <optional>

namespace KestraUI {

enum class NoticeKind { warning, waiting, info };

// A one-line notice: a symbol telling its kind, a text that wraps rather than being cut, and
// an optional trailing control at the trailing edge, on a faint rounded fill across the whole
// width. Without a trailing view it is read as its text; with one, as an element holding the
// control.
ui::Node InlineNotice(NoticeKind kind, Text text, std::optional<ui::Node> trailing = std::nullopt);

} // namespace KestraUI
