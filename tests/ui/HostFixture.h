#pragma once

#include "GuiTest.h"
#include "ui/Host.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <memory>

// Interaction tests drive a real host widget under the offscreen platform with injected events.
class HostTest : public GuiTest {
protected:
    // A host of 320 × 240 showing `view`, shown so that appear handlers run.
    std::unique_ptr<ui::Host> makeHost(ui::Host::View view, QSize size = {320, 240});

    static QRectF frame(const ui::Host& host, QStringView id);
    static QPointF centre(const ui::Host& host, QStringView id) { return frame(host, id).center(); }

    static void press(ui::Host& host, QPointF point);
    static void release(ui::Host& host, QPointF point);
    static void click(ui::Host& host, QPointF point);
    static void move(ui::Host& host, QPointF point);
    static void leave(ui::Host& host);
    static void key(ui::Host& host, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Runs what the event loop has queued (rebuilds asked for by state writes).
    static void settle();
};
