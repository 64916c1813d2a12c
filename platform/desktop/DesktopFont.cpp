#include "platform/desktop/DesktopFont.h"

#include <QFontDatabase>

namespace DewlightPlatform {

std::optional<double> desktopFontPointSize(const QFont& systemFont) {
    const double size = systemFont.pointSizeF();
    if (size <= 0)
        return std::nullopt; // set in pixels: no point size to compare with
    if (systemFont.family() == QLatin1String("Sans Serif") && size == 9.0)
        return std::nullopt;
    return size;
}

std::optional<double> desktopFontPointSize() {
    return desktopFontPointSize(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
}

} // namespace DewlightPlatform
