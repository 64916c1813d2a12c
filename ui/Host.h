#pragma once

#include "ui/AccessibilityTree.h"
#include "ui/Environment.h"
#include "ui/HostPass.h"
#include "ui/Interaction.h"
#include "ui/Layout.h"
#include "ui/Node.h"

#include <QAccessible>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace ui {

class HostContext;
class TextCache;

// One window's widget: shows a root view, rebuilds it when state changes and routes input to it.
// After each rebuild one pass (ui/HostPass.h) matches the new tree to the previous one by
// identity and lets every node do its own part (handlers, reports, focus stops, shortcuts, line
// edits, dialogs); input goes to the node it concerns (hit test, focused stop, shortcut table).
// The host keeps only what is global to the window: focus, hover, the pointer, the open menu.
// Everything runs on the main thread.
class Host : public QWidget, private HostServices {
    Q_OBJECT

public:
    using View = std::function<Node()>;
    using Clock = std::function<double()>; // seconds, monotonic

    Host(View view, Environment environment, QWidget* parent = nullptr, Clock clock = {});
    ~Host() override;

    void setEnvironment(Environment environment);
    const Environment& environment() const { return environment_; }

    // Rebuilds on the next turn of the event loop; many calls in one turn cost one rebuild.
    void invalidate();
    // Rebuilds now: asks the view for a new tree, lays it out and runs the handlers.
    void rebuild();
    // The content's size for a proposed width (none: its ideal width).
    QSizeF idealSize(std::optional<double> width) const;
    QSize sizeHint() const override;

    const Layout* layout() const { return layout_.get(); }
    // The elements assistive technology reads, outermost first; a group holds its own.
    const std::vector<AccessibleNode>& accessibleNodes() const { return accessible_; }
    // The element standing for `identity` at any depth, or none.
    const AccessibleNode* accessibleNode(const QString& identity) const;
    // The group that holds the element; none when the window holds it directly.
    const AccessibleNode* accessibleParent(const QString& identity) const;
    // The innermost element standing for the focused control; none without focus.
    const AccessibleNode* focusedAccessible() const;
    // The focus stop that has keyboard focus; empty when none.
    const QString& focusedIdentity() const { return focused_; }
    bool keyboardUsed() const { return keyboardUsed_; }

    // Performs the action of the element (press, toggle, open its menu) if it is enabled.
    bool activate(const QString& identity);
    // Ends the editing of a text field; false when none was being edited.
    bool endEditing();
    // The menu a control opened, while it is open.
    QMenu* openMenu() const { return menu_; }
    // A confirmation dialog the tree presents, while one is open.
    QMessageBox* openDialog() const;
    QLineEdit* lineEdit(const QString& identity) const;

    // The accessibility bridge's interface for an element of the tree, made on first use.
    QAccessibleInterface* accessibleInterface(const QString& identity) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Environment passEnvironment() const;
    ProposedSize proposal() const;
    void relayout();
    void commit(std::unique_ptr<Layout> next);
    // The pass over the tree in place, as after a rebuild.
    void match();
    void matchFocus(const HostPass::Keyboard& previous);
    void matchAccessibility();
    void updateHover(std::optional<QPointF> point);
    void moveFocus(const QString& stop, Qt::FocusReason reason);
    void showRecords(bool onScreen, bool closed);
    bool handleShortcut(QKeyEvent* event);
    void setKeyboardUsed(bool used);
    void scheduleFrame();

    // HostServices (ui/HostWidgets.cpp).
    void keepLineEdit(const Element& field, const TextFieldModel& model, HostPass& pass) override;
    void keepDialog(const Element& element, const DialogModel& model, HostPass& pass) override;
    void openMenu(const Element& control, const MenuModel& model) override;
    // The line edit of the text field standing for the focus stop; none when it is no field.
    QLineEdit* lineEditOfStop(const QString& stop) const;
    QLineEdit* focusedLineEdit() const;

    View view_;
    Environment environment_;
    std::shared_ptr<HostContext> context_;
    std::shared_ptr<TextCache> textCache_;
    Node node_;
    std::unique_ptr<Layout> layout_;
    bool rebuildPending_ = false;
    bool onScreen_ = false;
    bool keyboardUsed_ = false;

    HostPass::Records records_;   // what the nodes keep between passes
    HostPass::Keyboard keyboard_; // focus chain, bindings and shortcuts of the tree in place
    std::map<QString, std::function<void(bool)>> hovered_;
    std::optional<QPointF> pointer_;
    QString focused_;
    std::map<QString, bool> focusSeen_; // by binding node
    QPointer<QMenu> menu_;
    QTimer frameTimer_;

    std::vector<AccessibleNode> accessible_;
    mutable QHash<QString, QAccessible::Id> accessibleIds_;
};

} // namespace ui
