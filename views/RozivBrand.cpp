#include "views/RozivBrand.h"

namespace DewlightViews {

const KestraUI::KestraBrand& rozivBrand() {
    // No dark accent: the brand colour itself reads well on a dark panel.
    static const KestraUI::KestraBrand brand{
        .name = QStringLiteral("Dewlight"), // verbatim: the product name is never translated
        .color = QColor(10, 158, 194),
        .connection = KestraUI::KestraBrand::Connection::offline,
        .darkAccent = std::nullopt,
        .lightAccent = QColor(8, 124, 152),
    };
    return brand;
}

} // namespace DewlightViews
