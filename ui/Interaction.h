#pragma once

#include "ui/Binding.h"

#include <QRectF>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

// Handlers run by the host when a node enters or leaves the tree of a window on screen.
struct Lifecycle {
    std::function<void()> appear;
    std::function<void()> disappear;
};

// A watched value: the host compares it with the value the same node had in the previous tree
// and calls `fire(old, new)` when they differ (and once on entry when `initial` is set).
struct ChangeWatch {
    std::shared_ptr<const void> value;
    std::function<bool(const void* a, const void* b)> equal;
    std::function<void(const void* old, const void* now)> fire;
    bool initial = false;
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

// An embedded line edit: the host keeps one QLineEdit per such node.
struct TextFieldModel {
    QString text;
    QString placeholder; // a localisation key
    std::function<void(const QString&)> edited;
    std::function<void()> submitted;
};

// A node's frame reported to the view after the layout passes in which it changed.
struct GeometryReport {
    QString space;         // the ancestor's coordinate space; empty for the window's
    bool sizeOnly = false; // report the size alone: moves that keep it report nothing
    std::function<void(const QRectF&)> report;
};

// A stop of the keyboard focus chain.
struct FocusStop {
    bool takesFocusOnClick = true;
};

} // namespace ui
