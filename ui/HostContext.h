#pragma once

#include "ui/Animation.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <typeindex>

namespace ui {

// What the window host keeps for its tree between passes, keyed by node identity: view-owned
// state, scroll offsets, the pressed control and running animations. Nodes reach it through the
// environment; without a host (pictures, layout tests) they use their initial values.
class HostContext {
public:
    HostContext(std::function<void()> invalidate, std::function<double()> clock);

    // The state cell of a view at `identity`, made by `make` on first use (and again when a
    // different kind of view takes that place).
    std::shared_ptr<void> stateCell(const QString& identity, std::type_index type,
                                    const std::function<std::shared_ptr<void>()>& make);

    double scrollOffset(const QString& identity) {
        used_.insert(identity);
        return scrollOffsets_.value(identity);
    }
    void setScrollOffset(const QString& identity, double offset);

    bool isPressed(const QString& identity) const {
        return !identity.isEmpty() && pressed_ == identity;
    }
    void setPressed(const QString& identity) { pressed_ = identity; }
    const QString& pressed() const { return pressed_; }

    AnimationStore& animations() { return animations_; }

    // The host is gone: state written later (by a binding kept elsewhere) asks nothing of it.
    void detach() { invalidate_ = nullptr; }

    // Asks the host to rebuild the tree on its next turn.
    void invalidate() const {
        if (invalidate_)
            invalidate_();
    }

    // A window's pass: view state and scroll offsets not asked for during it belonged to nodes
    // that left (another kind of node may have taken their place); the rest is kept while its
    // identity is present.
    void beginPass();
    void endPass(const std::function<bool(const QString&)>& present);

private:
    struct Cell {
        std::type_index type;
        std::shared_ptr<void> value;
    };
    std::function<void()> invalidate_;
    QHash<QString, Cell> cells_;
    QHash<QString, double> scrollOffsets_;
    QSet<QString> used_; // cells and offsets asked for in the current pass
    QString pressed_;
    AnimationStore animations_;
};

} // namespace ui
