#include "kit/brand/KestraFont.h"

namespace KestraUI {

ui::Font font(KestraFont role) {
    using ui::FontWeight;
    using ui::TextStyle;
    switch (role) {
    case KestraFont::title:
        return ui::Font{TextStyle::largeTitle}.bold();
    case KestraFont::text:
    case KestraFont::mark:
        return {TextStyle::title2};
    case KestraFont::textSemibold:
        return ui::Font{TextStyle::title2}.weighted(FontWeight::semibold);
    case KestraFont::support:
    case KestraFont::footerSymbol:
        return {TextStyle::title3};
    case KestraFont::supportSemibold:
        return ui::Font{TextStyle::title3}.weighted(FontWeight::semibold);
    case KestraFont::heading:
        return {TextStyle::headline};
    case KestraFont::welcomeTitle:
        return ui::Font{TextStyle::title2}.bold();
    case KestraFont::detail:
        return {TextStyle::callout};
    case KestraFont::detailSemibold:
    case KestraFont::keyCap:
        return ui::Font{TextStyle::callout}.weighted(FontWeight::semibold);
    case KestraFont::versionLine:
        return {TextStyle::caption};
    case KestraFont::readout:
        return ui::Font{TextStyle::title}.weighted(FontWeight::semibold).withMonospacedDigits();
    }
    return {};
}

} // namespace KestraUI
