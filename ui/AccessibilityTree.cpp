#include "ui/AccessibilityTree.h"

#include "ui/NodeImpl.h"

#include <QStringList>

namespace ui {

namespace {

using Role = AccessibleNode::Role;

// Every text inside, laid out or not (the hidden label of a switch is never laid out).
void texts(const Element& element, QStringList& found) {
    if (const Accessibility* a = element.node->get<Accessibility>(); a && a->hidden)
        return;
    if (!element.text.isEmpty() && !element.node->get<TextFieldModel>())
        found << element.text;
    for (const Element& child : element.children)
        texts(child, found);
}

QString joined(const std::vector<AccessibleNode>& nodes, QString AccessibleNode::*field) {
    QStringList parts;
    for (const AccessibleNode& node : nodes)
        if (!(node.*field).isEmpty())
            parts << node.*field;
    return parts.join(QStringLiteral(", "));
}

// The elements a group holds stand for themselves; one element made of them reads through.
std::vector<AccessibleNode> withoutGroups(const std::vector<AccessibleNode>& nodes) {
    std::vector<AccessibleNode> flat;
    for (const AccessibleNode& node : nodes) {
        if (node.role != Role::group) {
            flat.push_back(node);
            continue;
        }
        std::vector<AccessibleNode> inner = withoutGroups(node.children);
        flat.insert(flat.end(), std::make_move_iterator(inner.begin()),
                    std::make_move_iterator(inner.end()));
    }
    return flat;
}

bool hasAction(const Element& element) {
    return element.node->isActionable();
}

// One element standing for `element` and everything it holds.
AccessibleNode single(const Element& element, const Accessibility& a,
                      const std::vector<AccessibleNode>& held) {
    const std::vector<AccessibleNode> inner = withoutGroups(held);
    AccessibleNode node;
    node.identity = element.identity;
    node.frame = element.frame;
    node.disabled = !element.env().enabled;
    const AccessibleNode* control = nullptr;
    for (const AccessibleNode& child : inner)
        if (child.isControl()) {
            control = &child;
            break;
        }

    if (a.traits & Accessibility::toggle)
        node.role = Role::toggle;
    else if (element.node->get<MenuModel>())
        node.role = Role::menuButton;
    else if (a.traits & Accessibility::button)
        node.role = Role::button;
    else if (a.traits & Accessibility::header)
        node.role = Role::heading;
    else if (control)
        node.role = control->role;
    else if (!inner.empty() && std::all_of(inner.begin(), inner.end(),
                                           [](const auto& n) { return n.role == Role::image; }))
        node.role = Role::image;
    if (hasAction(element))
        node.actionIdentity = element.identity;
    else if (control && node.isControl())
        node.actionIdentity = control->actionIdentity;

    if (a.label) {
        node.label = *a.label;
    } else if (const Element* hidden = element.node->hiddenLabel(element)) {
        QStringList found;
        texts(*hidden, found);
        node.label = found.join(QStringLiteral(", "));
    } else if (!a.ignoreChildren) {
        node.label = joined(inner, &AccessibleNode::label);
    }
    node.value = a.value            ? *a.value
                 : a.ignoreChildren ? QString()
                                    : joined(inner, &AccessibleNode::value);
    if (a.hint)
        node.hint = *a.hint;
    else if (!a.ignoreChildren && !inner.empty())
        node.hint = inner.front().hint;
    node.selected =
        (a.traits & Accessibility::selected) ||
        std::any_of(inner.begin(), inner.end(), [](const auto& n) { return n.selected; });
    node.checked = a.checked;
    if (!node.checked && control)
        node.checked = control->checked;
    return node;
}

// A container: one element that holds the elements inside it.
AccessibleNode group(const Element& element, const Accessibility& a,
                     std::vector<AccessibleNode> inner) {
    AccessibleNode node;
    node.identity = element.identity;
    node.role = Role::group;
    node.label = a.label.value_or(QString());
    node.value = a.value.value_or(QString());
    node.hint = a.hint.value_or(QString());
    node.frame = element.frame;
    node.disabled = !element.env().enabled;
    node.children = std::move(inner);
    return node;
}

// Properties of a modifier that neither combines nor names a control, laid on the one element
// it wraps.
void merge(AccessibleNode& node, const Accessibility& a) {
    if (a.label)
        node.label = *a.label;
    if (a.value)
        node.value = *a.value;
    if (a.hint)
        node.hint = *a.hint;
    if (a.traits & Accessibility::selected)
        node.selected = true;
    if ((a.traits & Accessibility::header) && !node.isControl())
        node.role = Role::heading;
    if (a.checked)
        node.checked = a.checked;
}

std::vector<AccessibleNode> collect(const Element& element) {
    if (!element.placed)
        return {};
    const Accessibility* a = element.node->get<Accessibility>();
    if (a && a->hidden)
        return {};
    if (element.node->get<TextFieldModel>()) {
        AccessibleNode node;
        node.identity = node.actionIdentity = element.identity;
        node.role = Role::textField;
        node.value = element.text;
        node.frame = element.frame;
        node.disabled = !element.env().enabled;
        return {node};
    }
    if (element.children.empty() && (!element.text.isEmpty() || element.node->isGraphic())) {
        AccessibleNode node;
        node.identity = element.identity;
        node.role = element.node->isGraphic() ? Role::image : Role::staticText;
        node.label = element.text;
        node.frame = element.frame;
        node.disabled = !element.env().enabled;
        return {node};
    }
    std::vector<AccessibleNode> inner;
    for (const Element& child : element.children) {
        std::vector<AccessibleNode> found = collect(child);
        inner.insert(inner.end(), std::make_move_iterator(found.begin()),
                     std::make_move_iterator(found.end()));
    }
    if (!a)
        return inner;
    if (a->container)
        return {group(element, *a, std::move(inner))};
    if (a->combineChildren || a->ignoreChildren ||
        (a->traits & (Accessibility::button | Accessibility::toggle)))
        return {single(element, *a, inner)};
    if (inner.size() == 1) {
        merge(inner.front(), *a);
        return inner;
    }
    if (inner.empty() && a->label)
        return {single(element, *a, inner)};
    return inner;
}

} // namespace

std::vector<AccessibleNode> accessibilityTree(const Element& root) {
    return collect(root);
}

const AccessibleNode* findAccessible(const std::vector<AccessibleNode>& nodes,
                                     const QString& identity) {
    return firstAccessible(nodes, [&](const AccessibleNode& n) { return n.identity == identity; });
}

const AccessibleNode* firstAccessible(const std::vector<AccessibleNode>& nodes,
                                      const std::function<bool(const AccessibleNode&)>& accept) {
    for (const AccessibleNode& node : nodes) {
        if (accept(node))
            return &node;
        if (const AccessibleNode* found = firstAccessible(node.children, accept))
            return found;
    }
    return nullptr;
}

} // namespace ui
