#pragma once

// The view tree: `Node`, its modifiers, and the functions that make every kind of node.

#include "ui/Animation.h"
#include "ui/Binding.h"
#include "ui/Color.h"
#include "ui/Environment.h"
#include "ui/Font.h"
#include "ui/Geometry.h"
#include "ui/Interaction.h"
#include "ui/Shape.h"
#include "ui/SymbolName.h"

#include <QImage>
#include <QKeyCombination>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

class NodeImpl;
struct Element;

// Frame limits per axis; an unset limit leaves that side to the content.
struct FrameLimits {
    std::optional<double> minWidth = std::nullopt;
    std::optional<double> idealWidth = std::nullopt;
    std::optional<double> maxWidth = std::nullopt;
    std::optional<double> minHeight = std::nullopt;
    std::optional<double> idealHeight = std::nullopt;
    std::optional<double> maxHeight = std::nullopt;
    Alignment alignment = {};
};

// What assistive technology is told about a node; the window host reads it.
struct Accessibility {
    enum Trait : unsigned { none = 0, button = 1, header = 2, selected = 4, toggle = 8 };

    std::optional<QString> label = std::nullopt;
    std::optional<QString> value = std::nullopt;
    std::optional<QString> hint = std::nullopt;
    unsigned traits = none;
    bool hidden = false;
    bool combineChildren = false; // one element whose children are read as one
    bool ignoreChildren = false;  // one element whose children are not read
    bool container = false;       // one element that holds its children, each still read by itself
    std::optional<bool> checked = std::nullopt; // a switch's state
};

// A view: an immutable, cheaply copied description of a subtree. Every modifier returns a new
// node that wraps this one.
class Node {
public:
    Node(); // draws nothing and takes no space
    explicit Node(std::shared_ptr<const NodeImpl> impl) : impl_(std::move(impl)) {}

    const NodeImpl& impl() const { return *impl_; }
    const std::shared_ptr<const NodeImpl>& implPointer() const { return impl_; }

    // Layout.
    Node padding(double length) const { return padding(EdgeInsets::all(length)); }
    Node padding(EdgeInsets insets) const;
    Node frame(std::optional<double> width, std::optional<double> height,
               Alignment alignment = {}) const;
    Node frame(const FrameLimits& limits) const;
    Node fixedSize(bool horizontal = true, bool vertical = true) const;
    Node layoutPriority(double priority) const;

    // Layers.
    Node background(Node layer, Alignment alignment = {}) const;
    Node overlay(Node layer, Alignment alignment = {}) const;

    // Drawing and environment.
    Node foreground(Color color) const;
    Node tint(std::optional<Color> tint) const;
    Node font(Font font) const;
    Node fontWeight(FontWeight weight) const;
    Node lineLimit(std::optional<int> lines) const;
    Node multilineTextAlignment(TextAlignment alignment) const;
    Node minimumScaleFactor(double factor) const;
    Node opacity(double opacity) const;
    Node disabled(bool disabled = true) const;
    Node environment(std::function<void(Environment&)> change) const;
    // The subtree reads the keyboard-used flag as false whatever the window's says (a panel
    // that never shows focus rings).
    Node ignoresKeyboardUse() const;
    // The window's focus indicator is not drawn inside: the subtree shows focus itself.
    Node focusEffectDisabled() const;
    // Sets a declared key (ui/Environment.h) for this subtree.
    template <typename T>
    Node environment(const EnvironmentKey<T>& key, std::type_identity_t<T> value) const;

    // Identity and what the host needs for interaction.
    Node id(QString id) const;
    Node accessibility(Accessibility accessibility) const;
    Node accessibilityHidden() const { return accessibility({.hidden = true}); }
    Node contentShape(Shape shape) const;
    Node onTap(std::function<void()> action) const;

    // What the window host does with the node.
    Node onHover(std::function<void(bool)> action) const; // true on enter, false on leave
    // A stop of the focus chain (Tab, Shift+Tab); controls are one already.
    Node focusable(bool takesFocusOnClick = true) const;
    // Binds the focus of the first focus stop at or inside this node.
    Node focused(FocusBinding binding) const;
    // The shape the window's focus indicator follows around the focused control this node is in,
    // in place of its hit shape.
    Node focusOutline(Shape shape) const;
    // A shortcut for the first tap action at or inside this node: works while that node is in
    // the tree and enabled. Ctrl stands for the Command key.
    Node keyboardShortcut(QKeyCombination key) const;
    Node help(QString key) const; // the tooltip, a localisation key
    Node onAppear(std::function<void()> action) const;
    Node onDisappear(std::function<void()> action) const;
    // Calls `action(old, new)` when `value` differs from the one this node had in the previous
    // tree; with `initial` also once when the node enters the tree, with old equal to new.
    template <typename T>
    Node onChange(T value, std::function<void(const T& old, const T& now)> action,
                  bool initial = false) const;
    // Names this node's frame as a coordinate space for the geometry reports inside it; where
    // several ancestors carry the name, the nearest one counts.
    Node coordinateSpace(QString name) const;
    // In a window: calls `report(frame)` with this node's frame in the coordinate space `space`
    // (the window's when no ancestor carries that name) when the node enters the tree and after
    // every later layout pass in which that frame differs from the last one reported.
    Node onGeometryChange(QString space, std::function<void(const QRectF&)> report) const;
    // The same for the node's size alone.
    Node onSizeChange(std::function<void(const QSizeF&)> report) const;
    Node allowsHitTesting(bool allowed) const;
    // In a window: while `isPresented` reads true, a modal dialog of the window asks the
    // question, with a destructive button that runs `confirmed` and a cancel button that holds
    // the keyboard focus (Return, Escape). Whichever way the dialog goes (an answer, Escape,
    // the window closing), it sets `isPresented` to false and answers at most once; only the
    // destructive button runs `confirmed`. Pictures draw nothing for it.
    Node confirmationDialog(Binding<bool> isPresented, ConfirmationDialog dialog,
                            std::function<void()> confirmed) const;
    Node buttonStyle(ButtonStyle style) const;
    Node controlSize(ControlSize size) const;

    // Animated drawing, kept by identity across rebuilds; immediate with reduce motion on and in
    // pictures.
    Node animatedOpacity(double opacity, Animation animation) const;
    Node animatedScale(double scale, Animation animation) const;
    // A short bounce each time `trigger` changes.
    Node bounceEffect(long long trigger, Animation animation = Animation::easeOut(0.35)) const;

private:
    Node watched(ChangeWatch watch) const;

    std::shared_ptr<const NodeImpl> impl_;
};

// A node whose body is made while the tree is built, from the element in place (its identity and
// environment). The base of view state and environment readers.
Node builder(std::function<Node(const Element& self)> body);
// Reads the environment in force, as a view that depends on the colour scheme or locale does.
Node withEnvironment(std::function<Node(const Environment&)> body);
// View-owned state: `initial` is called once, on first use; the value lives as long as a node of
// the same identity stays in the window's tree. Writing it rebuilds the window.
template <typename T>
Node withState(std::function<T()> initial, std::function<Node(Binding<T>)> body);
// A number that moves to its target as animated (a numeric transition); the body is laid out
// again with the number shown on each frame.
Node animatedNumber(double target, Animation animation, std::function<Node(double shown)> body);

// Containers. Stack spacing defaults to defaultSpacing.
inline constexpr double defaultSpacing = 8;
Node vstack(std::vector<Node> children, HorizontalAlignment alignment = HorizontalAlignment::center,
            std::optional<double> spacing = std::nullopt);
Node hstack(std::vector<Node> children, VerticalAlignment alignment = VerticalAlignment::center,
            std::optional<double> spacing = std::nullopt);
// The first child whose ideal size fits the proposal on the given axes; the last one otherwise.
Node firstThatFits(std::vector<Node> children, bool horizontal = false, bool vertical = true);
// Offers its content unlimited length on the axis and shows a window of it. In a window,
// `scrolled` is told each time the content moves away from its start (by more than
// scrolledThreshold) and each time it comes back; it starts at its start.
inline constexpr double scrolledThreshold = 1;
Node scrollView(Node content, Axis axis = Axis::vertical,
                std::function<void(bool scrolled)> scrolled = {});

// Leaves.
inline constexpr double defaultSpacerMinimum = 8;
Node spacer(double minLength = defaultSpacerMinimum);
Node text(QString key, std::vector<TextArgument> arguments = {}); // a localisation key
Node verbatim(QString text);                                      // shown as given
Node symbol(SymbolName name);
Node divider();
Node image(QImage image, bool resizable = false);
// A shape filled with `fill` (the foreground when none) and stroked inside its border.
Node shape(Shape shape, std::optional<Paint> fill = std::nullopt,
           std::optional<Paint> stroke = std::nullopt, double lineWidth = 1);
inline Node fill(Shape s, Paint paint) {
    return shape(s, std::move(paint));
}
inline Node strokeBorder(Shape s, Paint paint, double lineWidth = 1) {
    return shape(s, Paint(Color::clear()), std::move(paint), lineWidth);
}

} // namespace ui

// Template definitions.
#include "ui/Element.h"
#include "ui/HostContext.h"

namespace ui {

template <typename T>
Node Node::environment(const EnvironmentKey<T>& key, std::type_identity_t<T> value) const {
    return environment([key, value = std::move(value)](Environment& env) { env.set(key, value); });
}

template <typename T>
Node Node::onChange(T value, std::function<void(const T&, const T&)> action, bool initial) const {
    ChangeWatch watch;
    watch.value = std::make_shared<const T>(std::move(value));
    watch.equal = [](const void* a, const void* b) {
        return *static_cast<const T*>(a) == *static_cast<const T*>(b);
    };
    watch.fire = [action = std::move(action)](const void* old, const void* now) {
        action(*static_cast<const T*>(old), *static_cast<const T*>(now));
    };
    watch.initial = initial;
    return watched(std::move(watch));
}

template <typename T>
Node withState(std::function<T()> initial, std::function<Node(Binding<T>)> body) {
    return builder([initial = std::move(initial), body = std::move(body)](const Element& self) {
        const Environment& env = self.env();
        auto make = [&] { return std::shared_ptr<void>(std::make_shared<T>(initial())); };
        std::shared_ptr<T> cell = std::static_pointer_cast<T>(
            env.host ? env.host->stateCell(self.identity, typeid(T), make) : make());
        std::weak_ptr<HostContext> host = env.host;
        Binding<T> binding([cell] { return *cell; },
                           [cell, host](T value) {
                               if constexpr (requires { *cell == value; }) {
                                   if (*cell == value)
                                       return;
                               }
                               *cell = std::move(value);
                               if (auto h = host.lock())
                                   h->invalidate();
                           });
        return body(binding);
    });
}

} // namespace ui
