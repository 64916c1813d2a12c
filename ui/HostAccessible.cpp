#include "ui/HostAccessible.h"

#include "ui/Host.h"
#include "ui/TreeQuery.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

namespace ui {

namespace {

using Role = AccessibleNode::Role;

QAccessible::Role qtRole(Role role) {
    switch (role) {
    case Role::button:
        return QAccessible::Button;
    case Role::menuButton:
        return QAccessible::ButtonMenu;
    case Role::toggle: // Qt has no switch role; a two-state check box is what readers know
        return QAccessible::CheckBox;
    case Role::textField:
        return QAccessible::EditableText;
    case Role::heading:
        return QAccessible::Heading;
    case Role::staticText:
        return QAccessible::StaticText;
    case Role::image:
        return QAccessible::Graphic;
    case Role::group:
        return QAccessible::Grouping;
    }
    return QAccessible::StaticText;
}

// What the window and the groups in it share: a list of elements as children.
QAccessibleInterface* childOf(const Host* host, const std::vector<AccessibleNode>& nodes,
                              int index) {
    if (index < 0 || index >= int(nodes.size()))
        return nullptr;
    return host->accessibleInterface(nodes[std::size_t(index)].identity);
}

int indexIn(const Host* host, const std::vector<AccessibleNode>& nodes,
            const QAccessibleInterface* child) {
    for (int i = 0; i < int(nodes.size()); ++i)
        if (childOf(host, nodes, i) == child)
            return i;
    return -1;
}

QAccessibleInterface* childAtPoint(const Host* host, const std::vector<AccessibleNode>& nodes,
                                   int x, int y) {
    const QPoint local = host->mapFromGlobal(QPoint(x, y));
    for (int i = int(nodes.size()) - 1; i >= 0; --i)
        if (nodes[std::size_t(i)].frame.contains(local))
            return childOf(host, nodes, i);
    return nullptr;
}

class HostInterface final : public QAccessibleWidget {
public:
    explicit HostInterface(Host* host) : QAccessibleWidget(host, QAccessible::Client) {}

    int childCount() const override { return int(host()->accessibleNodes().size()); }
    QAccessibleInterface* child(int index) const override {
        return childOf(host(), host()->accessibleNodes(), index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return indexIn(host(), host()->accessibleNodes(), child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return childAtPoint(host(), host()->accessibleNodes(), x, y);
    }
    QAccessibleInterface* focusChild() const override {
        const AccessibleNode* focused = host()->focusedAccessible();
        return focused ? host()->accessibleInterface(focused->identity) : nullptr;
    }

private:
    Host* host() const { return static_cast<Host*>(widget()); }
};

class ElementInterface final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ElementInterface(Host* host, QString identity) : host_(host), identity_(std::move(identity)) {}

    bool isValid() const override { return node() != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return host_ && host_->window() ? host_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const AccessibleNode* n = node();
        return n ? childAtPoint(host_, n->children, x, y) : nullptr;
    }
    QAccessibleInterface* parent() const override {
        if (!host_)
            return nullptr;
        if (const AccessibleNode* group = host_->accessibleParent(identity_))
            return host_->accessibleInterface(group->identity);
        return QAccessible::queryAccessibleInterface(host_.data());
    }
    QAccessibleInterface* child(int index) const override {
        const AccessibleNode* n = node();
        return n ? childOf(host_, n->children, index) : nullptr;
    }
    int childCount() const override {
        const AccessibleNode* n = node();
        return n ? int(n->children.size()) : 0;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const AccessibleNode* n = node();
        return n ? indexIn(host_, n->children, child) : -1;
    }

    QString text(QAccessible::Text t) const override {
        const AccessibleNode* n = node();
        if (!n)
            return {};
        switch (t) {
        case QAccessible::Name:
            return n->label;
        case QAccessible::Value:
            return n->value;
        case QAccessible::Description:
            return n->hint;
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const AccessibleNode* n = node();
        if (!n)
            return {};
        const QRect local = n->frame.toAlignedRect();
        return QRect(host_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override {
        const AccessibleNode* n = node();
        return n ? qtRole(n->role) : QAccessible::NoRole;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        const AccessibleNode* n = node();
        if (!n) {
            s.invalid = true;
            return s;
        }
        s.disabled = n->disabled;
        s.selected = n->selected;
        s.selectable = n->selected;
        if (n->checked) {
            s.checkable = true;
            s.checked = *n->checked;
        }
        if (n->isControl() && !n->disabled)
            s.focusable = true;
        s.focused =
            !host_->focusedIdentity().isEmpty() && isWithin(n->identity, host_->focusedIdentity());
        if (n->role == Role::menuButton)
            s.hasPopup = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override {
        const AccessibleNode* n = node();
        if (!n || n->actionIdentity.isEmpty() || n->disabled)
            return {};
        if (n->role == Role::toggle)
            return {toggleAction()};
        return {pressAction()};
    }
    void doAction(const QString& name) override {
        const AccessibleNode* n = node();
        if (n && actionNames().contains(name))
            host_->activate(n->actionIdentity);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    const AccessibleNode* node() const {
        return host_ ? host_->accessibleNode(identity_) : nullptr;
    }

    QPointer<Host> host_;
    QString identity_;
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* host = qobject_cast<Host*>(object))
        return new HostInterface(host);
    return nullptr;
}

} // namespace

void installHostAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

QAccessibleInterface* makeElementAccessible(Host* host, const QString& identity) {
    return new ElementInterface(host, identity);
}

} // namespace ui
