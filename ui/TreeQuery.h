#pragma once

#include "ui/Element.h"

#include <QPointF>
#include <functional>
#include <vector>

namespace ui {

// Questions the window host asks of a laid-out tree; pure functions of the elements.

// Whether the point falls on something the element's subtree draws or claims (hit shapes,
// drawn leaves, bezels), honouring clipping and hit-testing switches.
bool containsPoint(const Element& element, QPointF point);

// The deepest, topmost placed element satisfying `accept` whose subtree contains the point.
const Element* hitTarget(const Element& root, QPointF point,
                         const std::function<bool(const Element&)>& accept);

// Every placed element satisfying `accept` whose subtree contains the point, outermost first.
std::vector<const Element*> hitAll(const Element& root, QPointF point,
                                   const std::function<bool(const Element&)>& accept);

// Placed elements in tree order (a parent before its children).
void visit(const Element& root, const std::function<void(const Element&)>& visitor);

// The first element at or below `element`, in tree order, satisfying `accept`.
const Element* firstInside(const Element& element,
                           const std::function<bool(const Element&)>& accept);

// Whether `identity` is `ancestor` or lies inside it.
bool isWithin(const QString& identity, const QString& ancestor);

// The element whose identity is `identity`, or none.
const Element* findIdentity(const Element& root, const QString& identity);

} // namespace ui
