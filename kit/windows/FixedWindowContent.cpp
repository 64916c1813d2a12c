#include "kit/windows/FixedWindowContent.h"

#include <cmath>

namespace KestraUI {

namespace S = FixedWindowStyle;

namespace {

// The scrolling form's view state: the content's last measured width, and whether the scroll
// view has moved off its top.
struct Measured {
    std::optional<double> width;
    bool isScrolled = false;
    bool operator==(const Measured&) const = default;
};

ui::Node edgeBar(bool shown) {
    return ui::fill(ui::Shape::rectangle(), ui::Color::barMaterial())
        .frame({.maxWidth = ui::infinity})
        .frame(std::nullopt, S::edgeBarHeight)
        .overlay(ui::fill(ui::Shape::rectangle(), ui::Color::separator())
                     .frame({.maxWidth = ui::infinity})
                     .frame(std::nullopt, S::edgeSeparatorHeight),
                 ui::Alignment::bottom())
        .accessibilityHidden()
        .allowsHitTesting(false)
        .animatedOpacity(shown ? 1.0 : 0.0, ui::Animation::easeOut(S::edgeBarFadeSeconds))
        .id(QString::fromLatin1(S::edgeBarId));
}

} // namespace

ui::Node FixedWindowContent::body() const {
    if (!scrolls)
        return onWindowGround(
            content.environment(fixedWindowIdealSizeKey, FixedWindowSizeReport{resize})
                .frame(initialWidth, std::nullopt));

    return ui::withState<Measured>([] { return Measured{}; }, [self = *this](
                                                                  ui::Binding<Measured> state) {
        const Measured now = state.get();
        ui::Node measured =
            self.content.fixedSize().onSizeChange([state, resize = self.resize](QSizeF size) {
                if (!std::isfinite(size.width()) || size.width() <= 0)
                    return;
                Measured next = state.get();
                next.width = size.width();
                state.set(next);
                if (resize)
                    resize(size);
            });
        return ui::scrollView(std::move(measured), ui::Axis::vertical,
                              [state](bool scrolled) {
                                  Measured next = state.get();
                                  next.isScrolled = scrolled;
                                  state.set(next);
                              })
            .overlay(edgeBar(now.isScrolled), ui::Alignment::top())
            .frame(now.width.value_or(self.initialWidth), std::nullopt);
    });
}

ui::Node onWindowGround(ui::Node content) {
    return content.frame({.maxHeight = ui::infinity, .alignment = ui::Alignment::top()})
        .background(ui::fill(ui::Shape::rectangle(), ui::Color::windowBackground()));
}

} // namespace KestraUI
