#include "HostFixture.h"

std::unique_ptr<ui::Host> HostTest::makeHost(ui::Host::View view, QSize size) {
    auto host = std::make_unique<ui::Host>(std::move(view), environment());
    host->resize(size);
    host->show();
    settle();
    return host;
}

QRectF HostTest::frame(const ui::Host& host, QStringView id) {
    return host.layout()->frame(id);
}

void HostTest::press(ui::Host& host, QPointF point) {
    QMouseEvent event(QEvent::MouseButtonPress, point, host.mapToGlobal(point), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&host, &event);
}

void HostTest::release(ui::Host& host, QPointF point) {
    QMouseEvent event(QEvent::MouseButtonRelease, point, host.mapToGlobal(point), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&host, &event);
}

void HostTest::click(ui::Host& host, QPointF point) {
    press(host, point);
    release(host, point);
}

void HostTest::move(ui::Host& host, QPointF point) {
    QMouseEvent event(QEvent::MouseMove, point, host.mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&host, &event);
}

void HostTest::leave(ui::Host& host) {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&host, &event);
}

void HostTest::key(ui::Host& host, int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(&host, &event);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(&host, &up);
}

void HostTest::settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}
