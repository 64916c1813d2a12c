#pragma once

#include "ui/Font.h"

#include <array>

namespace KestraUI {

// The kit's text roles.
enum class KestraFont {
    title,
    text,
    textSemibold,
    support,
    supportSemibold,
    heading,
    welcomeTitle,
    mark,
    detail,
    detailSemibold,
    keyCap,
    versionLine,
    footerSymbol,
    readout,
};

inline constexpr std::array<KestraFont, 14> allKestraFonts = {
    KestraFont::title,           KestraFont::text,
    KestraFont::textSemibold,    KestraFont::support,
    KestraFont::supportSemibold, KestraFont::heading,
    KestraFont::welcomeTitle,    KestraFont::mark,
    KestraFont::detail,          KestraFont::detailSemibold,
    KestraFont::keyCap,          KestraFont::versionLine,
    KestraFont::footerSymbol,    KestraFont::readout,
};

// The font of a role; apply it with ui::Node::font(font(role)).
ui::Font font(KestraFont role);

} // namespace KestraUI
