#pragma once

#include <QFont>
#include <QString>
#include <optional>

namespace ui {

// The text styles views name; each has a fixed pixel size at the default type size.
enum class TextStyle {
    largeTitle,
    title,
    title2,
    title3,
    headline,
    body,
    callout,
    subheadline,
    footnote,
    caption,
};

enum class FontWeight { regular, medium, semibold, bold };

// The reader's preferred text size; the accessibility sizes switch some layouts to stacked forms.
enum class TypeSize {
    xSmall,
    small,
    medium,
    large,
    xLarge,
    xxLarge,
    xxxLarge,
    accessibility1,
    accessibility2,
    accessibility3,
    accessibility4,
    accessibility5,
};

bool isAccessibilitySize(TypeSize size);

// The family every text is set in; loaded from the build's resources by loadUiFonts().
inline constexpr const char* uiFontFamily = "Inter";

struct Font {
    TextStyle style = TextStyle::body;
    std::optional<FontWeight> weight = std::nullopt; // none: the style's own weight
    bool monospacedDigits = false;

    Font weighted(FontWeight w) const {
        Font copy = *this;
        copy.weight = w;
        return copy;
    }
    Font bold() const { return weighted(FontWeight::bold); }
    Font withMonospacedDigits() const {
        Font copy = *this;
        copy.monospacedDigits = true;
        return copy;
    }

    FontWeight effectiveWeight() const;
    double pixelSize(TypeSize size) const;
    QFont qfont(TypeSize size) const;

    bool operator==(const Font&) const = default;
};

// Registers the bundled Inter faces with Qt's font database. Needs a QGuiApplication. Returns
// false when a face could not be loaded; text then falls back to whatever the machine matches.
bool loadUiFonts();

} // namespace ui
