#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <optional>

class QShortcut;

namespace DewlightPlatform {

// The window that holds the panel's content, sized to it. As a popup (under the tray icon) it is
// frameless, stays on top, takes focus so that keys reach the content, and hides when it loses
// focus to another window or on Escape. As a normal window (no tray) it has a frame and a title,
// and closing it only hides it.
class PanelWindow final : public QWidget {
    Q_OBJECT
public:
    enum class Style { popup, window };
    // The window's role (WM_WINDOW_ROLE on X11).
    static constexpr const char* role = "panel";

    explicit PanelWindow(const QString& title, QWidget* parent = nullptr);
    ~PanelWindow() override;

    // Takes the content; the previous content is deleted.
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }

    // A change of style hides the window.
    void setStyle(Style style);
    Style style() const { return style_; }

    // Shows the window, or raises it when it is shown, and gives it focus. A popup goes to
    // `position`; a normal window goes where the window manager puts it.
    void present(std::optional<QPoint> position = std::nullopt);
    // The size the window takes for its content.
    QSize panelSize();

signals:
    // Each time the window comes on screen.
    void appeared();
    // The popup hid because another window took the focus.
    void dismissedByFocusLoss();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Whether the focus went to something of the panel's own (its menu, its dialog).
    bool focusStayedWithin() const;

    Style style_ = Style::popup;
    QShortcut* escape_ = nullptr;
    QPointer<QWidget> content_;
};

} // namespace DewlightPlatform
