#include "platform/tray/PanelWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace DewlightPlatform {

namespace {
Qt::WindowFlags flagsFor(PanelWindow::Style style) {
    // A tool window keeps the popup out of the task bar and the window switcher.
    return style == PanelWindow::Style::popup
               ? Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
               : Qt::Window;
}
} // namespace

PanelWindow::PanelWindow(const QString& title, QWidget* parent)
    : QWidget(parent, flagsFor(Style::popup)) {
    setWindowTitle(title);
    // Found by this role, not by its title, which must differ from the welcome's for window
    // managers that number equal titles.
    setWindowRole(QString::fromLatin1(role));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The window follows its content's size, in both styles.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape_->setContext(Qt::WindowShortcut);
    connect(escape_, &QShortcut::activated, this, &QWidget::hide);
}

PanelWindow::~PanelWindow() = default;

void PanelWindow::setContent(QWidget* content) {
    if (content_ == content)
        return;
    delete content_.data();
    content_ = content;
    if (content) {
        layout()->addWidget(content);
        content->show();
    }
    layout()->activate();
}

void PanelWindow::setStyle(Style style) {
    if (style_ == style)
        return;
    style_ = style;
    hide();
    // A normal window leaves Escape to its content.
    escape_->setEnabled(style == Style::popup);
    setWindowFlags(flagsFor(style));
}

QSize PanelWindow::panelSize() {
    layout()->activate();
    return size();
}

void PanelWindow::present(std::optional<QPoint> position) {
    // The client area goes there, not the frame: after the window style the frame of the old
    // one would still count, and put a popup that just left a window its title bar lower.
    if (position && style_ == Style::popup)
        setGeometry(QRect(*position, panelSize()));
    show();
    raise();
    activateWindow();
}

void PanelWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        emit appeared();
}

void PanelWindow::closeEvent(QCloseEvent* event) {
    // The application lives on in the background; closing only puts the panel away.
    event->ignore();
    hide();
}

void PanelWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || style_ != Style::popup || !isVisible() ||
        isActiveWindow())
        return;
    // Decide on the next turn: the window that takes the focus is known only by then.
    QTimer::singleShot(0, this, [this] {
        if (style_ != Style::popup || !isVisible() || isActiveWindow() || focusStayedWithin())
            return;
        hide();
        emit dismissedByFocusLoss();
    });
}

bool PanelWindow::focusStayedWithin() const {
    if (QApplication::activePopupWidget())
        return true;
    for (const QWidget* window = QApplication::activeWindow(); window;
         window = window->parentWidget())
        if (window == this)
            return true;
    return false;
}

} // namespace DewlightPlatform
