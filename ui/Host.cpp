#include "ui/Host.h"

#include "ui/HostAccessible.h"
#include "ui/HostContext.h"
#include "ui/NodeImpl.h"
#include "ui/TextCache.h"
#include "ui/TreeQuery.h"

#include <QAction>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <set>

namespace ui {

namespace {

// A wheel notch (120 units) scrolls three lines of 20 pixels, as Qt's own scroll areas do.
constexpr double wheelPixelsPerNotch = 60;
// Frames of a running animation.
constexpr int frameMilliseconds = 16;

bool enabled(const Element& element) {
    return element.env().enabled;
}

bool isActionable(const Element& element) {
    return (element.node->tapAction() || element.node->menu()) && enabled(element);
}

Host::Clock defaultClock() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return double(timer->nsecsElapsed()) / 1e9; };
}

} // namespace

Host::Host(View view, Environment environment, QWidget* parent, Clock clock)
    : QWidget(parent), view_(std::move(view)), environment_(std::move(environment)),
      textCache_(std::make_shared<TextCache>()) {
    installHostAccessibleFactory();
    context_ = std::make_shared<HostContext>([this] { invalidate(); },
                                             clock ? std::move(clock) : defaultClock());
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    frameTimer_.setSingleShot(true);
    frameTimer_.setInterval(frameMilliseconds);
    connect(&frameTimer_, &QTimer::timeout, this, [this] {
        if (context_->animations().layoutRunning())
            relayout();
        update();
    });
    rebuild();
}

Host::~Host() {
    context_->detach();
    if (menu_)
        delete menu_.data();
    // Gone with the window: nothing is answered.
    for (const auto& [identity, box] : dialogs_)
        if (box) {
            box->disconnect(this);
            delete box.data();
        }
    for (QAccessible::Id id : std::as_const(accessibleIds_))
        QAccessible::deleteAccessibleInterface(id);
}

void Host::setEnvironment(Environment environment) {
    environment_ = std::move(environment);
    rebuild();
}

void Host::invalidate() {
    if (rebuildPending_)
        return;
    rebuildPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (rebuildPending_)
                rebuild();
        },
        Qt::QueuedConnection);
}

void Host::rebuild() {
    rebuildPending_ = false;
    node_ = view_();
    relayout();
}

Environment Host::passEnvironment() const {
    Environment env = environment_;
    env.host = context_;
    env.textCache = textCache_;
    env.keyboardUsed = keyboardUsed_;
    return env;
}

ProposedSize Host::proposal() const {
    return {width() > 0 ? std::optional<double>(width()) : std::nullopt,
            height() > 0 ? std::optional<double>(height()) : std::nullopt};
}

QSizeF Host::idealSize(std::optional<double> width) const {
    return Layout(node_, passEnvironment(), ProposedSize{width, std::nullopt}).size();
}

QSize Host::sizeHint() const {
    const QSizeF ideal = idealSize(std::nullopt);
    return {int(std::ceil(ideal.width())), int(std::ceil(ideal.height()))};
}

void Host::relayout() {
    context_->beginPass();
    commit(std::make_unique<Layout>(node_, passEnvironment(), proposal()));
}

void Host::commit(std::unique_ptr<Layout> next) {
    layout_ = std::move(next);
    QSet<QString> present;
    visit(layout_->root(), [&](const Element& e) { present.insert(e.identity); });
    context_->endPass([&](const QString& identity) { return present.contains(identity); });
    matchLifecycles();
    matchChanges();
    matchReports();
    matchDialogs();
    matchLineEdits();
    matchAccessibility();
    matchFocus();
    updateHover(pointer_);
    update();
    scheduleFrame();
}

void Host::matchLifecycles() {
    std::map<QString, Lifecycle> now;
    visit(layout_->root(), [&](const Element& e) {
        if (const Lifecycle* l = e.node->lifecycle())
            now.emplace(e.identity, *l);
    });
    std::vector<std::function<void()>> calls;
    if (onScreen_) {
        for (const auto& [identity, lifecycle] : lifecycles_)
            if (!now.contains(identity) && lifecycle.disappear)
                calls.push_back(lifecycle.disappear);
        for (const auto& [identity, lifecycle] : now)
            if (!lifecycles_.contains(identity) && lifecycle.appear)
                calls.push_back(lifecycle.appear);
    }
    lifecycles_ = std::move(now);
    for (const auto& call : calls)
        call();
}

void Host::matchChanges() {
    std::map<QString, ChangeWatch> now;
    visit(layout_->root(), [&](const Element& e) {
        if (const ChangeWatch* w = e.node->changeWatch())
            now.emplace(e.identity, *w);
    });
    std::vector<std::function<void()>> calls;
    for (const auto& [identity, watch] : now) {
        const auto old = changes_.find(identity);
        if (old == changes_.end()) {
            if (watch.initial)
                calls.push_back([watch] { watch.fire(watch.value.get(), watch.value.get()); });
        } else if (!watch.equal(old->second.value.get(), watch.value.get())) {
            calls.push_back([watch, before = old->second.value] {
                watch.fire(before.get(), watch.value.get());
            });
        }
    }
    changes_ = std::move(now);
    for (const auto& call : calls)
        call();
}

void Host::matchReports() {
    std::map<QString, QRectF> geometry;
    std::map<QString, bool> scrolled;
    std::vector<std::function<void()>> calls;
    std::vector<std::pair<QString, QPointF>> spaces; // named ancestors, outermost first
    std::function<void(const Element&)> walk = [&](const Element& e) {
        if (!e.placed)
            return;
        const QString* space = e.node->coordinateSpace();
        if (space)
            spaces.emplace_back(*space, e.frame.topLeft());
        if (const GeometryReport* report = e.node->geometryReport(); report && report->report) {
            QPointF origin(0, 0);
            if (!report->space.isEmpty())
                for (auto named = spaces.rbegin(); named != spaces.rend(); ++named)
                    if (named->first == report->space) {
                        origin = named->second;
                        break;
                    }
            QRectF frame = e.frame.translated(-origin);
            if (report->sizeOnly)
                frame.moveTopLeft(QPointF(0, 0));
            geometry[e.identity] = frame;
            if (const auto old = geometry_.find(e.identity);
                old == geometry_.end() || old->second != frame)
                calls.push_back([action = report->report, frame] { action(frame); });
        }
        if (const std::function<void(bool)>* report = e.node->scrollReport()) {
            const Element& content = e.children.front();
            const double offset = *e.node->scrollAxis() == Axis::vertical
                                      ? e.frame.top() - content.frame.top()
                                      : e.frame.left() - content.frame.left();
            const bool now = offset > scrolledThreshold;
            scrolled[e.identity] = now;
            if (const auto old = scrolled_.find(e.identity);
                now != (old != scrolled_.end() && old->second))
                calls.push_back([action = *report, now] { action(now); });
        }
        for (const Element& child : e.children)
            walk(child);
        if (space)
            spaces.pop_back();
    };
    walk(layout_->root());
    geometry_ = std::move(geometry);
    scrolled_ = std::move(scrolled);
    for (const auto& call : calls)
        call();
}

void Host::matchDialogs() {
    std::set<QString> wanted;
    std::vector<const Element*> toPresent;
    visit(layout_->root(), [&](const Element& e) {
        if (const DialogModel* model = e.node->dialog(); model && model->isPresented.get()) {
            wanted.insert(e.identity);
            if (!dialogs_.contains(e.identity) && onScreen_)
                toPresent.push_back(&e);
        }
    });
    // Dialogs the view took back, or whose node left the tree.
    std::vector<QString> unwanted;
    for (const auto& [identity, box] : dialogs_)
        if (!wanted.contains(identity))
            unwanted.push_back(identity);
    for (const QString& identity : unwanted)
        dismissDialog(identity);
    for (const Element* e : toPresent)
        presentDialog(*e);
}

void Host::presentDialog(const Element& element) {
    const DialogModel& model = *element.node->dialog();
    const Environment& env = element.env();
    auto* box = new QMessageBox(this);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(env.localize(model.texts.title, {}));
    box->setText(env.localize(model.texts.title, {}));
    box->setInformativeText(env.localize(model.texts.message, {}));
    QPushButton* confirm =
        box->addButton(env.localize(model.texts.confirm, {}), QMessageBox::DestructiveRole);
    QPushButton* cancel =
        box->addButton(env.localize(model.texts.cancel, {}), QMessageBox::RejectRole);
    // The safe answer is the one the keyboard reaches first.
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    box->setWindowModality(Qt::WindowModal);
    const QString identity = element.identity;
    connect(box, &QMessageBox::finished, this,
            [this, identity, box, confirm = QPointer<QPushButton>(confirm)] {
                if (const auto open = dialogs_.find(identity);
                    open != dialogs_.end() && open->second == box)
                    answerDialog(identity, confirm && box->clickedButton() == confirm);
            });
    dialogs_[identity] = box;
    box->open();
    cancel->setFocus(Qt::OtherFocusReason);
}

void Host::answerDialog(const QString& identity, bool confirmed) {
    const auto open = dialogs_.find(identity);
    if (open == dialogs_.end())
        return;
    if (open->second)
        open->second->deleteLater();
    dialogs_.erase(open);
    const Element* element = findIdentity(layout_->root(), identity);
    if (!element || !element->node->dialog())
        return;
    // Copies: either call may rebuild the tree that holds the model.
    const Binding<bool> isPresented = element->node->dialog()->isPresented;
    const std::function<void()> action = element->node->dialog()->confirmed;
    isPresented.set(false);
    if (confirmed && action)
        action();
}

void Host::dismissDialog(const QString& identity) {
    const auto open = dialogs_.find(identity);
    if (open == dialogs_.end())
        return;
    const QPointer<QMessageBox> box = open->second;
    dialogs_.erase(open); // first: closing it answers nothing now
    if (box) {
        box->close();
        box->deleteLater();
    }
}

QMessageBox* Host::openDialog() const {
    for (const auto& [identity, box] : dialogs_)
        if (box)
            return box;
    return nullptr;
}

std::vector<const Element*> Host::focusChain() const {
    std::vector<const Element*> chain;
    visit(layout_->root(), [&](const Element& e) {
        if (e.node->focusStop() && enabled(e))
            chain.push_back(&e);
    });
    return chain;
}

void Host::matchFocus() {
    // Which bindings name which stop in this tree.
    std::map<QString, std::vector<FocusEntry>> bindings;
    std::vector<std::pair<QString, QString>> order; // (binding, stop) in tree order
    visit(layout_->root(), [&](const Element& e) {
        if (const FocusBinding* binding = e.node->focusBinding())
            if (const Element* stop = firstInside(
                    e, [](const Element& s) { return s.node->focusStop() != nullptr; })) {
                bindings[stop->identity].push_back({e.identity, *binding});
                order.emplace_back(e.identity, stop->identity);
            }
    });
    const std::map<QString, std::vector<FocusEntry>> previous = std::move(focusBindings_);
    focusBindings_ = std::move(bindings);

    // Focus leaves a stop that left the tree or was disabled.
    if (!focused_.isEmpty()) {
        const Element* stop = findIdentity(layout_->root(), focused_);
        if (!stop || !stop->node->focusStop() || !enabled(*stop)) {
            const QString gone = std::exchange(focused_, QString());
            if (const auto old = previous.find(gone); old != previous.end())
                for (const FocusEntry& entry : old->second)
                    entry.focus.set(false);
        }
    }

    // A binding the view changed since the host last saw it moves the focus.
    std::optional<QString> request;
    bool release = false;
    std::map<QString, bool> seen;
    for (const auto& [binding, stop] : order) {
        const auto entries = focusBindings_.find(stop);
        const auto entry = std::find_if(entries->second.begin(), entries->second.end(),
                                        [&](const FocusEntry& f) { return f.binding == binding; });
        const bool wanted = entry->focus.get();
        const bool actual = stop == focused_;
        const auto before = focusSeen_.find(binding);
        const bool changedByView = before == focusSeen_.end() ? wanted : wanted != before->second;
        if (changedByView && wanted && !actual && !request)
            request = stop;
        else if (changedByView && !wanted && actual)
            release = true;
        else if (wanted != actual)
            entry->focus.set(actual);
        seen[binding] = actual;
    }
    focusSeen_ = std::move(seen);
    if (request)
        moveFocus(*request, Qt::OtherFocusReason);
    else if (release)
        moveFocus(QString(), Qt::OtherFocusReason);
}

void Host::moveFocus(const QString& stop, Qt::FocusReason reason) {
    if (stop == focused_)
        return;
    const QString old = focused_;
    focused_ = stop;
    if (const auto entries = focusBindings_.find(old); entries != focusBindings_.end())
        for (const FocusEntry& entry : entries->second) {
            focusSeen_[entry.binding] = false;
            entry.focus.set(false);
        }
    if (const auto entries = focusBindings_.find(stop); entries != focusBindings_.end())
        for (const FocusEntry& entry : entries->second) {
            focusSeen_[entry.binding] = true;
            entry.focus.set(true);
        }
    // A text field takes the keyboard itself; everything else is the host's.
    QLineEdit* edit = nullptr;
    for (const auto& [field, fieldStop] : lineEditStops_)
        if (fieldStop == stop)
            edit = lineEdit(field);
    if (edit)
        edit->setFocus(reason);
    else if (!stop.isEmpty() || (focusWidget() && focusWidget() != this))
        setFocus(reason);
    if (QAccessible::isActive() && !stop.isEmpty())
        if (const AccessibleNode* node = focusedAccessible())
            if (QAccessibleInterface* child = accessibleInterface(node->identity)) {
                QAccessibleEvent focus(child, QAccessible::Focus);
                QAccessible::updateAccessibility(&focus);
            }
    update();
}

void Host::matchLineEdits() {
    std::map<QString, QPointer<QLineEdit>> kept;
    lineEditStops_.clear();
    visit(layout_->root(), [&](const Element& stop) {
        if (!stop.node->focusStop())
            return;
        if (const Element* field =
                firstInside(stop, [](const Element& e) { return e.node->textField() != nullptr; }))
            lineEditStops_[field->identity] = stop.identity;
    });
    visit(layout_->root(), [&](const Element& e) {
        const TextFieldModel* model = e.node->textField();
        if (!model)
            return;
        QPointer<QLineEdit> edit;
        if (const auto found = lineEdits_.find(e.identity); found != lineEdits_.end())
            edit = found->second;
        if (!edit) {
            edit = new QLineEdit(this);
            edit->setFrame(false);
            // Tab order is the host's focus chain, which gives the field focus itself.
            edit->setFocusPolicy(Qt::ClickFocus);
            edit->installEventFilter(this);
            const QString identity = e.identity;
            connect(edit, &QLineEdit::textEdited, this, [this, identity](const QString& text) {
                if (const Element* field = findIdentity(layout_->root(), identity))
                    if (const TextFieldModel* m = field->node->textField(); m && m->edited)
                        m->edited(text);
            });
            connect(edit, &QLineEdit::returnPressed, this, [this, identity] {
                if (const Element* field = findIdentity(layout_->root(), identity))
                    if (const TextFieldModel* m = field->node->textField(); m && m->submitted)
                        m->submitted();
            });
        }
        const Environment& env = e.env();
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        palette.setColor(QPalette::Text, env.foreground.resolve(env));
        palette.setColor(QPalette::PlaceholderText, Color::secondary().resolve(env));
        edit->setPalette(palette);
        edit->setFont(e.font);
        edit->setTextMargins(0, 0, 0, 0);
        edit->setPlaceholderText(env.localize(model->placeholder, {}));
        edit->setEnabled(env.enabled);
        // The published text wins, except over the user's typing in progress.
        if (edit->text() != model->text && !edit->hasFocus())
            edit->setText(model->text);
        edit->setGeometry(e.frame.toAlignedRect());
        edit->show();
        kept[e.identity] = edit;
    });
    for (const auto& [identity, edit] : lineEdits_)
        if (!kept.contains(identity) && edit)
            edit->deleteLater();
    lineEdits_ = std::move(kept);
}

QLineEdit* Host::lineEdit(const QString& identity) const {
    const auto found = lineEdits_.find(identity);
    return found == lineEdits_.end() ? nullptr : found->second.data();
}

void Host::matchAccessibility() {
    accessible_ = accessibilityTree(layout_->root());
    QSet<QString> present;
    firstAccessible(accessible_, [&](const AccessibleNode& node) {
        present.insert(node.identity);
        return false;
    });
    for (auto it = accessibleIds_.begin(); it != accessibleIds_.end();) {
        if (present.contains(it.key())) {
            ++it;
            continue;
        }
        QAccessible::deleteAccessibleInterface(it.value());
        it = accessibleIds_.erase(it);
    }
    if (QAccessible::isActive()) {
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
}

const AccessibleNode* Host::accessibleNode(const QString& identity) const {
    return findAccessible(accessible_, identity);
}

const AccessibleNode* Host::accessibleParent(const QString& identity) const {
    return firstAccessible(accessible_, [&](const AccessibleNode& n) {
        return std::any_of(n.children.begin(), n.children.end(),
                           [&](const AccessibleNode& child) { return child.identity == identity; });
    });
}

const AccessibleNode* Host::focusedAccessible() const {
    if (focused_.isEmpty())
        return nullptr;
    return firstAccessible(accessible_, [&](const AccessibleNode& n) {
        return n.role != AccessibleNode::Role::group && isWithin(n.identity, focused_);
    });
}

QAccessibleInterface* Host::accessibleInterface(const QString& identity) const {
    const AccessibleNode* node = accessibleNode(identity);
    if (!node)
        return nullptr;
    if (node->role == AccessibleNode::Role::textField)
        if (QLineEdit* edit = lineEdit(identity))
            return QAccessible::queryAccessibleInterface(edit);
    if (const auto id = accessibleIds_.constFind(identity); id != accessibleIds_.constEnd())
        return QAccessible::accessibleInterface(*id);
    QAccessibleInterface* element = makeElementAccessible(const_cast<Host*>(this), identity);
    accessibleIds_.insert(identity, QAccessible::registerAccessibleInterface(element));
    return element;
}

void Host::updateHover(std::optional<QPointF> point) {
    std::map<QString, std::function<void(bool)>> now;
    if (point)
        for (const Element* e : hitAll(layout_->root(), *point, [](const Element& e) {
                 return e.node->hoverAction() != nullptr;
             }))
            now.emplace(e->identity, *e->node->hoverAction());
    std::vector<std::function<void()>> calls;
    for (const auto& [identity, action] : hovered_)
        if (!now.contains(identity) && findIdentity(layout_->root(), identity))
            calls.push_back([action] { action(false); });
    for (const auto& [identity, action] : now)
        if (!hovered_.contains(identity))
            calls.push_back([action] { action(true); });
    hovered_ = std::move(now);
    for (const auto& call : calls)
        call();
}

const Element* Host::actionTarget(const Element& element) const {
    return firstInside(element, [](const Element& e) {
        return e.node->tapAction() != nullptr || e.node->menu() != nullptr;
    });
}

bool Host::activate(const QString& identity) {
    const Element* element = findIdentity(layout_->root(), identity);
    if (!element || !isActionable(*element))
        return false;
    if (element->node->menu()) {
        openMenuFor(*element);
        return true;
    }
    // A copy: the action may rebuild the tree that holds it.
    const std::function<void()> action = *element->node->tapAction();
    if (action)
        action();
    return true;
}

void Host::openMenuFor(const Element& element) {
    if (menu_)
        menu_->close();
    const MenuModel model = *element.node->menu();
    const Environment& env = element.env();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (std::size_t i = 0; i < model.items.size(); ++i) {
        const MenuItem& item = model.items[i];
        QAction* action =
            menu->addAction(item.verbatim ? item.title : env.localize(item.title, {}));
        action->setCheckable(true);
        action->setChecked(item.checked);
        // Only a new choice is sent: the checked entry again, or a dismissed menu, sends nothing.
        connect(action, &QAction::triggered, this, [pick = model.pick, checked = item.checked, i] {
            if (!checked && pick)
                pick(i);
        });
    }
    menu->setMinimumWidth(int(std::ceil(element.frame.width())));
    menu_ = menu;
    menu->popup(mapToGlobal(element.frame.bottomLeft().toPoint()));
}

bool Host::endEditing() {
    for (const auto& [field, edit] : lineEdits_)
        if (edit && edit->hasFocus()) {
            moveFocus(QString(), Qt::OtherFocusReason);
            setFocus(Qt::OtherFocusReason);
            return true;
        }
    return false;
}

void Host::setKeyboardUsed(bool used) {
    if (keyboardUsed_ == used)
        return;
    keyboardUsed_ = used;
    relayout();
}

void Host::scheduleFrame() {
    if (context_->animations().running() && !frameTimer_.isActive())
        frameTimer_.start();
}

bool Host::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        setKeyboardUsed(true);
        break;
    case QEvent::WindowActivate:
        setKeyboardUsed(false);
        break;
    case QEvent::ToolTip: {
        auto* help = static_cast<QHelpEvent*>(event);
        const Element* target = hitTarget(layout_->root(), help->pos(), [](const Element& e) {
            return e.node->tooltip() != nullptr;
        });
        if (target)
            QToolTip::showText(help->globalPos(),
                               target->env().localize(*target->node->tooltip(), {}), this,
                               target->frame.toAlignedRect());
        else
            QToolTip::hideText();
        return true;
    }
    default:
        break;
    }
    return QWidget::event(event);
}

void Host::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Only what meets the region is drawn (see NodeImpl::paintElement).
    painter.setClipRegion(event->region());
    layout_->paint(painter);
    scheduleFrame();
}

void Host::resizeEvent(QResizeEvent*) {
    relayout();
}

void Host::showEvent(QShowEvent*) {
    if (onScreen_)
        return;
    onScreen_ = true;
    std::vector<std::function<void()>> calls;
    for (const auto& [identity, lifecycle] : lifecycles_)
        if (lifecycle.appear)
            calls.push_back(lifecycle.appear);
    for (const auto& call : calls)
        call();
    matchDialogs();
}

void Host::hideEvent(QHideEvent* event) {
    if (!onScreen_)
        return;
    onScreen_ = false;
    // A window closed (not minimised) takes its dialogs along, answering nothing.
    if (!event->spontaneous()) {
        std::vector<QString> open;
        for (const auto& [identity, box] : dialogs_)
            open.push_back(identity);
        for (const QString& identity : open) {
            dismissDialog(identity);
            if (const Element* element = findIdentity(layout_->root(), identity))
                if (const DialogModel* model = element->node->dialog()) {
                    const Binding<bool> isPresented = model->isPresented;
                    isPresented.set(false);
                }
        }
    }
    std::vector<std::function<void()>> calls;
    for (const auto& [identity, lifecycle] : lifecycles_)
        if (lifecycle.disappear)
            calls.push_back(lifecycle.disappear);
    for (const auto& call : calls)
        call();
}

void Host::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF point = event->position();
    if (const Element* stop = hitTarget(layout_->root(), point, [](const Element& e) {
            return e.node->focusStop() && e.node->focusStop()->takesFocusOnClick && enabled(e);
        }))
        moveFocus(stop->identity, Qt::MouseFocusReason);
    const Element* target = hitTarget(layout_->root(), point, isActionable);
    context_->setPressed(target ? target->identity : QString());
    update();
}

void Host::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QString pressed = context_->pressed();
    context_->setPressed(QString());
    update();
    if (pressed.isEmpty())
        return;
    // A press that ends outside its control is cancelled.
    const Element* target = hitTarget(layout_->root(), event->position(), isActionable);
    if (target && target->identity == pressed)
        activate(pressed);
}

void Host::mouseMoveEvent(QMouseEvent* event) {
    pointer_ = event->position();
    updateHover(pointer_);
    if (!context_->pressed().isEmpty())
        update();
}

void Host::leaveEvent(QEvent*) {
    pointer_.reset();
    updateHover(std::nullopt);
}

void Host::wheelEvent(QWheelEvent* event) {
    const Element* view = hitTarget(layout_->root(), event->position(), [](const Element& e) {
        return e.node->scrollAxis().has_value();
    });
    if (!view) {
        event->ignore();
        return;
    }
    const bool vertical = *view->node->scrollAxis() == Axis::vertical;
    const QPoint pixels = event->pixelDelta();
    const QPoint angle = event->angleDelta();
    double delta = 0;
    if (!pixels.isNull())
        delta = vertical ? pixels.y() : (pixels.x() ? pixels.x() : pixels.y());
    else
        delta = (vertical ? angle.y() : (angle.x() ? angle.x() : angle.y())) / 120.0 *
                wheelPixelsPerNotch;
    const Element& content = view->children.front();
    const double overflow = std::max(0.0, vertical ? content.frame.height() - view->frame.height()
                                                   : content.frame.width() - view->frame.width());
    const double current = vertical ? view->frame.top() - content.frame.top()
                                    : view->frame.left() - content.frame.left();
    const double next = std::clamp(current - delta, 0.0, overflow);
    if (next == current) {
        event->ignore();
        return;
    }
    context_->setScrollOffset(view->identity, next);
    relayout();
    event->accept();
}

bool Host::handleShortcut(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const QKeyCombination pressed(modifiers, Qt::Key(event->key()));
    const Element* match = nullptr;
    visit(layout_->root(), [&](const Element& e) {
        if (match)
            return;
        if (const QKeyCombination* key = e.node->shortcut(); key && *key == pressed)
            if (const Element* target = actionTarget(e); target && isActionable(*target))
                match = target;
    });
    if (!match)
        return false;
    activate(match->identity);
    return true;
}

void Host::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) &&
        !focused_.isEmpty()) {
        if (const Element* stop = findIdentity(layout_->root(), focused_))
            if (const Element* target = actionTarget(*stop); target && isActionable(*target)) {
                activate(target->identity);
                event->accept();
                return;
            }
    }
    if (handleShortcut(event)) {
        event->accept();
        return;
    }
    event->ignore();
}

bool Host::focusNextPrevChild(bool next) {
    const std::vector<const Element*> chain = focusChain();
    if (chain.empty())
        return QWidget::focusNextPrevChild(next);
    const auto current = std::find_if(chain.begin(), chain.end(),
                                      [&](const Element* e) { return e->identity == focused_; });
    std::size_t index;
    if (current == chain.end())
        index = next ? 0 : chain.size() - 1;
    else {
        const std::size_t at = std::size_t(current - chain.begin());
        index = next ? (at + 1) % chain.size() : (at + chain.size() - 1) % chain.size();
    }
    moveFocus(chain[index]->identity, next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool Host::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        for (const auto& [field, edit] : lineEdits_)
            if (edit == watched) {
                if (const auto stop = lineEditStops_.find(field); stop != lineEditStops_.end())
                    moveFocus(stop->second, static_cast<QFocusEvent*>(event)->reason());
                break;
            }
    if (event->type() == QEvent::KeyPress)
        setKeyboardUsed(true);
    return QWidget::eventFilter(watched, event);
}

} // namespace ui
