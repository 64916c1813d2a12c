#include "kit/panel/FocusRing.h"

#include "kit/brand/BrandPalette.h"
#include "ui/NodeImpl.h"

namespace KestraUI {

namespace {

// The flag behind keyboardUsed(): false wherever no window chrome sets it, so views outside a
// chrome (the panel) never show a ring.
const ui::EnvironmentKey<bool> KeyboardUsedKey{false};

// The ring's outline: the shape fitted to the frame and stroked on it (half the line inside,
// half outside), with butt caps and mitred joins. It is drawn only; it never takes a point.
class RingStroke final : public ui::NodeImpl {
public:
    explicit RingStroke(ui::Shape shape) : shape_(shape) {}

    ui::Dimensions measure(const ui::Element&, const ui::ProposedSize& offered) const override {
        return {QSizeF(offered.width.value_or(0), offered.height.value_or(0)), {}};
    }
    void paint(QPainter& painter, const ui::Element& self) const override {
        const ui::Environment& env = self.env();
        QPen pen(BrandPalette::focus.resolve(env), focusRingLineWidth, Qt::SolidLine, Qt::FlatCap,
                 Qt::MiterJoin);
        pen.setMiterLimit(10);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.strokePath(shape_.path(self.frame), pen);
        painter.restore();
    }

private:
    ui::Shape shape_;
};

// The ring of a control that binds its own focus.
struct PreferencesFocusRing {
    bool keyboardUsed = false;
    ui::Binding<bool> focused;
    ui::Shape shape;

    ui::Node body(ui::Node content) const {
        // Without keyboard use the focus state is not consulted.
        const bool on = keyboardUsed && focused.get();
        return brandFocusRing(std::move(content).focused(ui::FocusBinding::of(focused)), on, shape);
    }
};

} // namespace

bool keyboardUsed(const ui::Environment& environment) {
    return environment.value(KeyboardUsedKey);
}

ui::Node keyboardUsed(ui::Node content, bool used) {
    return content.environment(KeyboardUsedKey, used);
}

ui::Node BrandFocusRing::body(ui::Node content) const {
    if (!isOn)
        return content.overlay(ui::Node());
    const ui::Node ring = ui::Node(std::make_shared<RingStroke>(shape))
                              .id(QString::fromLatin1(focusRingId))
                              .padding(-focusRingOutset)
                              .allowsHitTesting(false)
                              .accessibilityHidden();
    return content.overlay(ring);
}

ui::Node brandFocusRing(ui::Node content, bool isOn, ui::Shape shape) {
    return BrandFocusRing{isOn, shape}.body(std::move(content));
}

ui::Node preferencesFocusRing(ui::Node content, ui::Shape shape) {
    return ui::withState<bool>(
        [] { return false; },
        [content = std::move(content), shape](ui::Binding<bool> focused) {
            return ui::withEnvironment([=](const ui::Environment& env) {
                return PreferencesFocusRing{keyboardUsed(env), focused, shape}.body(content);
            });
        });
}

ui::Node PreferencesRing::body(ui::Node content) const {
    return brandFocusRing(std::move(content), keyboardUsed && focused, shape);
}

} // namespace KestraUI
