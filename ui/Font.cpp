#include "ui/Font.h"

#include <QFontDatabase>
#include <QResource>
#include <array>

namespace ui {

namespace {

// Pixel sizes of the text styles at the default type size, taken from the desktop metrics the
// layouts were designed against.
double basePixelSize(TextStyle style) {
    switch (style) {
    case TextStyle::largeTitle:
        return 26;
    case TextStyle::title:
        return 22;
    case TextStyle::title2:
        return 17;
    case TextStyle::title3:
        return 15;
    case TextStyle::headline:
    case TextStyle::body:
        return 13;
    case TextStyle::callout:
        return 12;
    case TextStyle::subheadline:
        return 11;
    case TextStyle::footnote:
    case TextStyle::caption:
        return 10;
    }
    return 13;
}

// Scale of each type size against the default (large).
double typeScale(TypeSize size) {
    static constexpr std::array<double, 12> scales = {0.82, 0.88, 0.94, 1.0,  1.12, 1.24,
                                                      1.35, 1.64, 1.94, 2.35, 2.76, 3.12};
    return scales[static_cast<std::size_t>(size)];
}

} // namespace

bool isAccessibilitySize(TypeSize size) {
    return size >= TypeSize::accessibility1;
}

FontWeight Font::effectiveWeight() const {
    if (weight)
        return *weight;
    return style == TextStyle::headline ? FontWeight::bold : FontWeight::regular;
}

double Font::pixelSize(TypeSize size) const {
    return std::round(basePixelSize(style) * typeScale(size));
}

QFont Font::qfont(TypeSize size) const {
    QFont font(QString::fromLatin1(uiFontFamily));
    font.setPixelSize(int(pixelSize(size)));
    switch (effectiveWeight()) {
    case FontWeight::regular:
        font.setWeight(QFont::Normal);
        break;
    case FontWeight::medium:
        font.setWeight(QFont::Medium);
        break;
    case FontWeight::semibold:
        font.setWeight(QFont::DemiBold);
        break;
    case FontWeight::bold:
        font.setWeight(QFont::Bold);
        break;
    }
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

bool loadUiFonts() {
    bool ok = true;
    for (const char* face : {"Regular", "Medium", "SemiBold", "Bold"}) {
        const QResource resource(
            QStringLiteral(":/dewlight/fonts/Inter-%1.otf").arg(QLatin1String(face)));
        // The faces are stored uncompressed: Qt and FreeType read them where they lie in the
        // binary, not from a copy on the heap. A compressed one would need unpacking first.
        const QByteArray data =
            resource.compressionAlgorithm() == QResource::NoCompression
                ? QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                          qsizetype(resource.size()))
                : resource.uncompressedData();
        ok = !data.isEmpty() && QFontDatabase::addApplicationFontFromData(data) >= 0 && ok;
    }
    return ok;
}

} // namespace ui
