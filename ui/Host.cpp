#include "ui/Host.h"

#include "ui/HostAccessible.h"
#include "ui/HostContext.h"
#include "ui/HostWidgets.h"
#include "ui/NodeImpl.h"
#include "ui/TextCache.h"
#include "ui/TreeQuery.h"

#include <QElapsedTimer>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QSet>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

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
    return element.node->isActionable() && enabled(element);
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
    records_.clear(); // while the widget they belong to is whole
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
    match();
    updateHover(pointer_);
    update();
    scheduleFrame();
}

void Host::match() {
    HostPass pass(*this, onScreen_, std::move(records_));
    pass.run(layout_->root());
    records_ = pass.takeRecords();
    const HostPass::Keyboard previous = std::exchange(keyboard_, pass.takeKeyboard());
    pass.runHandlers();
    matchAccessibility();
    matchFocus(previous);
}

void Host::showRecords(bool onScreen, bool closed) {
    std::vector<std::function<void()>> calls;
    for (const auto& [key, record] : records_)
        if (std::function<void()> call = record->shown(onScreen, closed))
            calls.push_back(std::move(call));
    for (const auto& call : calls)
        call();
}

void Host::matchFocus(const HostPass::Keyboard& previous) {
    // Focus leaves a stop that left the tree or was disabled.
    if (!focused_.isEmpty() && std::find(keyboard_.chain.begin(), keyboard_.chain.end(),
                                         focused_) == keyboard_.chain.end()) {
        const QString gone = std::exchange(focused_, QString());
        for (const HostPass::FocusBindingEntry& entry : previous.bindings)
            if (entry.stop == gone)
                entry.focus.set(false);
    }

    // A binding the view changed since the host last saw it moves the focus.
    std::optional<QString> request;
    bool release = false;
    std::map<QString, bool> seen;
    for (const HostPass::FocusBindingEntry& entry : keyboard_.bindings) {
        const bool wanted = entry.focus.get();
        const bool actual = entry.stop == focused_;
        const auto before = focusSeen_.find(entry.binding);
        const bool changedByView = before == focusSeen_.end() ? wanted : wanted != before->second;
        if (changedByView && wanted && !actual && !request)
            request = entry.stop;
        else if (changedByView && !wanted && actual)
            release = true;
        else if (wanted != actual)
            entry.focus.set(actual);
        seen[entry.binding] = actual;
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
    for (const HostPass::FocusBindingEntry& entry : keyboard_.bindings)
        if (entry.stop == old) {
            focusSeen_[entry.binding] = false;
            entry.focus.set(false);
        }
    for (const HostPass::FocusBindingEntry& entry : keyboard_.bindings)
        if (entry.stop == stop) {
            focusSeen_[entry.binding] = true;
            entry.focus.set(true);
        }
    // A text field takes the keyboard itself; everything else is the host's.
    if (QLineEdit* edit = lineEditOfStop(stop))
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
                 return e.node->get<HoverAction>() != nullptr;
             }))
            now.emplace(e->identity, e->node->get<HoverAction>()->changed);
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

bool Host::activate(const QString& identity) {
    const Element* element = findIdentity(layout_->root(), identity);
    if (!element || !isActionable(*element))
        return false;
    return element->node->activate(*element, *this);
}

bool Host::endEditing() {
    if (!focusedLineEdit())
        return false;
    moveFocus(QString(), Qt::OtherFocusReason);
    setFocus(Qt::OtherFocusReason);
    return true;
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
            return e.node->get<Tooltip>() != nullptr;
        });
        if (target)
            QToolTip::showText(help->globalPos(),
                               target->env().localize(target->node->get<Tooltip>()->key, {}), this,
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
    showRecords(true, false);
}

void Host::hideEvent(QHideEvent* event) {
    if (!onScreen_)
        return;
    onScreen_ = false;
    showRecords(false, !event->spontaneous());
}

void Host::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF point = event->position();
    if (const Element* stop = hitTarget(layout_->root(), point, [](const Element& e) {
            const FocusStop* stop = e.node->get<FocusStop>();
            return stop && stop->takesFocusOnClick && enabled(e);
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
    const QPointF point = event->position();
    const Element* view = hitTarget(layout_->root(), point, [](const Element& e) {
        return e.node->get<Scrolling>() != nullptr;
    });
    const QPoint pixels = event->pixelDelta();
    const QPointF delta = !pixels.isNull()
                              ? QPointF(pixels)
                              : QPointF(event->angleDelta()) / 120.0 * wheelPixelsPerNotch;
    if (!view || !view->node->scroll(*view, delta)) {
        event->ignore();
        return;
    }
    relayout();
    event->accept();
}

bool Host::handleShortcut(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const QKeyCombination pressed(modifiers, Qt::Key(event->key()));
    for (const HostPass::ShortcutEntry& entry : keyboard_.shortcuts)
        if (entry.key == pressed) {
            activate(entry.target);
            return true;
        }
    return false;
}

void Host::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) &&
        !focused_.isEmpty()) {
        if (const Element* stop = findIdentity(layout_->root(), focused_))
            if (const Element* target =
                    firstInside(*stop, [](const Element& e) { return e.node->isActionable(); });
                target && isActionable(*target)) {
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
    const std::vector<QString>& chain = keyboard_.chain;
    if (chain.empty())
        return QWidget::focusNextPrevChild(next);
    const auto current = std::find(chain.begin(), chain.end(), focused_);
    std::size_t index;
    if (current == chain.end())
        index = next ? 0 : chain.size() - 1;
    else {
        const std::size_t at = std::size_t(current - chain.begin());
        index = next ? (at + 1) % chain.size() : (at + chain.size() - 1) % chain.size();
    }
    moveFocus(chain[index], next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool Host::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        for (const auto& [key, record] : records_)
            if (key.second == typeid(LineEditRecord))
                if (const auto& r = static_cast<LineEditRecord&>(*record); r.edit == watched) {
                    if (!r.stop.isEmpty())
                        moveFocus(r.stop, static_cast<QFocusEvent*>(event)->reason());
                    break;
                }
    if (event->type() == QEvent::KeyPress)
        setKeyboardUsed(true);
    return QWidget::eventFilter(watched, event);
}

} // namespace ui
