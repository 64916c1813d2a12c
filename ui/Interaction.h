#pragma once

#include "ui/Binding.h"
#include "ui/Geometry.h"

#include <QKeyCombination>
#include <QRectF>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

struct Element;
class HostPass;

// What nodes carry for the window host, one kind per struct; a node is asked for one by its type
// (NodeImpl::get). Those with a `commit` do their part in each pass over a window's tree.

// Handlers run by the host when a node enters or leaves the tree of a window on screen.
struct Lifecycle {
    std::function<void()> appear;
    std::function<void()> disappear;
    void commit(const Element& self, HostPass& pass) const;
};

// A watched value: the host compares it with the value the same node had in the previous tree
// and calls `fire(old, new)` when they differ (and once on entry when `initial` is set).
struct ChangeWatch {
    std::shared_ptr<const void> value;
    std::function<bool(const void* a, const void* b)> equal;
    std::function<void(const void* old, const void* now)> fire;
    bool initial = false;
    void commit(const Element& self, HostPass& pass) const;
};

// An entry of a menu; its title is a localisation key unless `verbatim`.
struct MenuItem {
    QString title;
    bool checked = false;
    bool verbatim = false;
};

// What a menu or picker shows when the host opens it, and what it sends when the user picks.
struct MenuModel {
    std::vector<MenuItem> items;
    std::function<void(std::size_t index)> pick;
};

// What a click, Space or a shortcut runs.
struct TapAction {
    std::function<void()> run;
};

// Told true when the pointer enters the node, false when it leaves.
struct HoverAction {
    std::function<void(bool)> changed;
};

struct Tooltip {
    QString key; // a localisation key
};

// A key that activates the first action at or inside the node while it is enabled.
struct Shortcut {
    QKeyCombination key;
    void commit(const Element& self, HostPass& pass) const;
};

// A view that scrolls its content along the axis.
struct Scrolling {
    Axis axis;
};

// A named frame the geometry reports inside it can measure from.
struct CoordinateSpace {
    QString name;
};

// An embedded line edit: the host keeps one QLineEdit per such node.
struct TextFieldModel {
    QString text;
    QString placeholder; // a localisation key
    std::function<void(const QString&)> edited;
    std::function<void()> submitted;
    void commit(const Element& self, HostPass& pass) const;
};

// A node's frame reported to the view after the layout passes in which it changed.
struct GeometryReport {
    QString space;         // the ancestor's coordinate space; empty for the window's
    bool sizeOnly = false; // report the size alone: moves that keep it report nothing
    std::function<void(const QRectF&)> report;
    void commit(const Element& self, HostPass& pass) const;
};

// What a confirmation dialog says; every text is a localisation key.
struct ConfirmationDialog {
    QString title;
    QString message;
    QString confirm; // the destructive action's button
    QString cancel = QStringLiteral("Cancel");
};

// A confirmation dialog bound to view state: shown while `isPresented` reads true.
struct DialogModel {
    ConfirmationDialog texts;
    Binding<bool> isPresented;
    std::function<void()> confirmed;
    void commit(const Element& self, HostPass& pass) const;
};

// A stop of the keyboard focus chain.
struct FocusStop {
    bool takesFocusOnClick = true;
    void commit(const Element& self, HostPass& pass) const;
};

// The focus of the first focus stop at or inside the node, bound to view state.
struct BoundFocus {
    FocusBinding binding;
    void commit(const Element& self, HostPass& pass) const;
};

} // namespace ui
