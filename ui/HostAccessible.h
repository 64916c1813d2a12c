#pragma once

#include <QString>

class QAccessibleInterface;

namespace ui {

class Host;

// Makes every Host answer assistive technology through one interface whose children are the
// virtual elements of its tree (ui/AccessibilityTree.h). Installed once per process.
void installHostAccessibleFactory();

// The interface of one virtual element; the caller registers it with QAccessible.
QAccessibleInterface* makeElementAccessible(Host* host, const QString& identity);

} // namespace ui
