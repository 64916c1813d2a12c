#pragma once

#include "ui/Element.h"

#include <QRectF>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace ui {

// One element that assistive technology reads, made from a laid-out tree: hidden nodes are left
// out, a control or a node that combines its children is read as one element, and a container
// is a group whose children are elements of their own.
struct AccessibleNode {
    enum class Role { button, menuButton, toggle, textField, heading, staticText, image, group };

    QString identity;       // the element it stands for
    QString actionIdentity; // the element pressed or toggled for it; empty when it has no action
    Role role = Role::staticText;
    QString label;
    QString value;
    QString hint;
    bool selected = false;
    bool disabled = false;
    std::optional<bool> checked = std::nullopt;
    QRectF frame;                         // in the root's coordinates
    std::vector<AccessibleNode> children; // a group's elements, in reading order

    bool isControl() const {
        return role == Role::button || role == Role::menuButton || role == Role::toggle ||
               role == Role::textField;
    }
};

// The elements of the tree in reading (tree) order.
std::vector<AccessibleNode> accessibilityTree(const Element& root);

// The element standing for `identity` at any depth, or none.
const AccessibleNode* findAccessible(const std::vector<AccessibleNode>& nodes,
                                     const QString& identity);
// The first element, at any depth and in reading order, that satisfies `accept`.
const AccessibleNode* firstAccessible(const std::vector<AccessibleNode>& nodes,
                                      const std::function<bool(const AccessibleNode&)>& accept);

} // namespace ui
