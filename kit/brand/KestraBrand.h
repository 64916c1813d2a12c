#pragma once

#include "ui/Color.h"
#include "ui/Environment.h"

#include <QColor>
#include <QString>
#include <optional>

namespace KestraUI {

// The brand record every kit view takes.
struct KestraBrand {
    enum class Connection { offline, online };

    QString name;
    QColor color; // sRGB
    Connection connection = Connection::offline;
    std::optional<QColor> darkAccent = std::nullopt;
    std::optional<QColor> lightAccent = std::nullopt;

    // The accent for controls tinted with the brand in `scheme`.
    QColor accent(ui::ColorScheme scheme) const;
    // Black or white, whichever reads better on a fill of `color` (WCAG 2 contrast on the
    // linear luminance).
    QColor contrastingText(const ui::Environment& environment) const;
};

} // namespace KestraUI
