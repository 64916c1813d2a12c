#pragma once

#include "ui/Node.h"
#include "views/RozivViewState.h"
#include "views/ViewEnvironment.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace DewlightViews {

// What was drunk on the counting day: the count in glasses with quarter steps, a drop for each
// glass of the day's range, one line of context, and the rows "A glass", "A sip" and undo of the
// latest click group, each with its key (g, s, Ctrl+Z) and key caps. A pure function of the
// state: every click and key goes out through `send` and shows only in a later state.
struct RozivCounter {
    RozivPanelState state;
    RozivSend send;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// One drop of the grid: the outline over the empty upper part, the filled drop over the lower
// `fill` (0 to 1) of its height. Hidden from assistive technology: the grid speaks for it.
struct RozivDrop {
    double fill = 0;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// The fills of the drop grid, in rows of at most six: one drop per glass of the range's top
// (at least one), each showing 0, ¼, ½, ¾ or a full glass of `quarters`. Quarters beyond the
// range add no drop.
std::vector<std::vector<double>> dropRows(double quarters, std::int64_t upperRange);

// Identities of the counter's parts, for tests.
namespace CounterPart {
inline const QString count = QStringLiteral("dewlight.counter.count");
inline const QString drops = QStringLiteral("dewlight.counter.drops");
inline const QString context = QStringLiteral("dewlight.counter.context");
inline const QString glass = QStringLiteral("dewlight.counter.glass");
inline const QString sip = QStringLiteral("dewlight.counter.sip");
inline const QString undo = QStringLiteral("dewlight.counter.undo");
// The drop at `index`, counted from 0.
inline QString drop(std::size_t index) {
    return QStringLiteral("dewlight.counter.drop.%1").arg(index);
}
} // namespace CounterPart

} // namespace DewlightViews
