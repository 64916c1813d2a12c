#include "kit/panel/PrivacyLine.h"

#include "kit/panel/KitStyle.h"
#include "kit/brand/BrandPrivacy.h"
#include "kit/brand/PrivacyGreen.h"

#include <QPainter>
#include <QResource>
#include <QSvgRenderer>
#include <cstdint>

namespace KestraUI {

namespace {

// The icon is drawn once at this many pixels a side; views scale it down. The largest, the
// welcome's, is 176 pixels at a scale of two.
constexpr int iconPixels = 256;

} // namespace

ui::Node PrivacyLine(Text text, ui::SymbolName symbol) {
    return ui::hstack({ui::symbol(symbol).frame(20, std::nullopt).accessibilityHidden(),
                       text.node().fixedSize(false, true)},
                      ui::VerticalAlignment::firstTextBaseline, 8)
        .foreground(ui::Color::forScheme(PrivacyGreen::color(ui::ColorScheme::light),
                                         PrivacyGreen::color(ui::ColorScheme::dark)));
}

ui::Node PrivacyLine(const KestraBrand& brand) {
    // Whether the build can reach the network never changes while the process runs.
    static const bool networkClient = buildIsNetworkClient();
    const DefaultPrivacyLine line = defaultPrivacyLine(brand, [] { return networkClient; });
    return PrivacyLine(Text(line.text), line.symbol);
}

namespace {

// The pixels rendered when building, wrapped where they lie in the binary; none when they are
// missing, of another size, compressed or not aligned for 32-bit pixels.
QImage builtIconPixels() {
    const QResource resource(QStringLiteral(":/dewlight/kit/AppIcon-256.argb32"));
    const uchar* data = resource.data();
    constexpr qint64 bytes = qint64(iconPixels) * iconPixels * 4;
    if (!data || resource.size() != bytes ||
        resource.compressionAlgorithm() != QResource::NoCompression ||
        reinterpret_cast<std::uintptr_t>(data) % alignof(std::uint32_t) != 0)
        return {};
    return QImage(data, iconPixels, iconPixels, qsizetype(iconPixels) * 4,
                  QImage::Format_ARGB32_Premultiplied);
}

} // namespace

const QImage& appIconImage() {
    static const QImage image = [] {
        if (QImage built = builtIconPixels(); !built.isNull())
            return built;
        QImage picture(iconPixels, iconPixels, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QSvgRenderer svg(QStringLiteral(":/dewlight/kit/AppIcon.svg"));
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter, QRectF(0, 0, iconPixels, iconPixels));
        return picture;
    }();
    return image;
}

ui::Node AppIcon(double size) {
    return ui::image(appIconImage(), true).frame(size, size).accessibilityHidden();
}

} // namespace KestraUI
