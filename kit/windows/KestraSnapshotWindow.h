#pragma once

#include "kit/brand/KestraBrand.h"
#include "kit/windows/WindowGeometry.h"
#include "ui/Environment.h"
#include "ui/Node.h"

#include <QEvent>
#include <QImage>
#include <QString>
#include <QWidget>

namespace KestraUI {

// A window that can be active but takes no input: clicks, keys, modifier changes and the
// wheel are dropped before they reach anything in it, its children included. Pointer movement
// and everything else go on as usual.
class KeyableWindow : public QWidget {
    Q_OBJECT

public:
    explicit KeyableWindow(QWidget* parent = nullptr);

    // Whether the window drops an event of this type.
    static bool drops(QEvent::Type type);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void childEvent(QChildEvent* event) override;
};

// The snapshot's window half: the title a snapshot window is found by, centring on the
// sharpest screen and presenting a view frozen at twice its size.
namespace KestraSnapshot {

// The two screens a snapshot can show.
enum class Surface { menu, welcome };

// How much a presented view is enlarged.
inline constexpr double scale = 2.0;
// The corner radius of a presented view's ground.
inline constexpr double roundedRadius = 26;
inline constexpr double squareRadius = 16;

// The brand's name followed by " Snapshot".
QString windowTitle(const KestraBrand& brand);

// Centres the window on the screen with the most device pixels per logical pixel (the first
// of equals); leaves it where it is without screens.
void center(QWidget& window);

// The view on the window's ground, rounded, painted frozen at twice its size: an image whose
// logical size is twice the view's fitting size, drawn at `devicePixelRatio`.
QImage frozen(const ui::Node& view, const ui::Environment& environment, bool rounded,
              double devicePixelRatio = 1);

// Makes `window`, shown or not yet, one that is never put on a screen and never paints itself:
// it is only ever painted into a picture (QWidget::render), so it needs no backing store.
void keepOffScreen(QWidget& window);

// Shows the view frozen in a borderless, clear window that takes no input, titled for the
// brand, centred on the sharpest screen and brought to the front. The window replaces the one
// presented before and lives until the next call or the end of the process. A window that is
// only to be captured (not `onScreen`) is shown the same to the application but kept off
// every screen (see keepOffScreen); it paints the view at the frozen size whenever it is
// captured, which gives the frozen picture's pixels without holding one.
KeyableWindow* present(const ui::Node& view, const KestraBrand& brand, bool rounded,
                       const ui::Environment& environment, bool onScreen = true);

} // namespace KestraSnapshot

} // namespace KestraUI
