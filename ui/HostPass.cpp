// The pass over a window's new tree, and the part each carried behaviour plays in it.
#include "ui/HostPass.h"

#include "ui/NodeImpl.h"
#include "ui/TreeQuery.h"

namespace ui {

void HostPass::run(const Element& root) {
    walk(root);
    for (const auto& [key, record] : previous_)
        if (!kept_.contains(key))
            record->left(*this);
    previous_.clear();
}

void HostPass::runHandlers() {
    const auto calls = std::move(calls_);
    for (const auto& [phase, queued] : calls)
        for (const auto& call : queued)
            call();
}

void HostPass::walk(const Element& element) {
    if (!element.placed)
        return;
    element.node->commit(element, *this);
    ancestors_.push_back(&element);
    for (const Element& child : element.children)
        walk(child);
    ancestors_.pop_back();
}

bool NodeImpl::activate(const Element&, HostServices&) const {
    const TapAction* tap = get<TapAction>();
    if (!tap)
        return false;
    // A copy: the action may rebuild the tree that holds it.
    const std::function<void()> action = tap->run;
    if (action)
        action();
    return true;
}

namespace {

struct LifecycleRecord final : Record {
    explicit LifecycleRecord(Lifecycle l) : lifecycle(std::move(l)) {}
    Lifecycle lifecycle;

    void left(HostPass& pass) override {
        if (pass.onScreen() && lifecycle.disappear)
            pass.later(HostPass::Phase::disappear, lifecycle.disappear);
    }
    std::function<void()> shown(bool onScreen, bool) override {
        return onScreen ? lifecycle.appear : lifecycle.disappear;
    }
};

struct ChangeRecord final : Record {
    explicit ChangeRecord(std::shared_ptr<const void> v) : value(std::move(v)) {}
    std::shared_ptr<const void> value;
};

struct GeometryRecord final : Record {
    explicit GeometryRecord(QRectF f) : frame(f) {}
    QRectF frame;
};

} // namespace

void Lifecycle::commit(const Element& self, HostPass& pass) const {
    if (!pass.previous<LifecycleRecord>(self.identity) && pass.onScreen() && appear)
        pass.later(HostPass::Phase::appear, appear);
    pass.keep(self.identity, std::make_shared<LifecycleRecord>(*this));
}

void ChangeWatch::commit(const Element& self, HostPass& pass) const {
    const auto old = pass.previous<ChangeRecord>(self.identity);
    if (!old) {
        if (initial)
            pass.later(HostPass::Phase::change,
                       [watch = *this] { watch.fire(watch.value.get(), watch.value.get()); });
    } else if (!equal(old->value.get(), value.get())) {
        pass.later(HostPass::Phase::change, [watch = *this, before = old->value] {
            watch.fire(before.get(), watch.value.get());
        });
    }
    pass.keep(self.identity, std::make_shared<ChangeRecord>(value));
}

void GeometryReport::commit(const Element& self, HostPass& pass) const {
    if (!report)
        return;
    QPointF origin(0, 0);
    if (!space.isEmpty()) {
        const auto& ancestors = pass.ancestors();
        for (auto named = ancestors.rbegin(); named != ancestors.rend(); ++named)
            if (const CoordinateSpace* s = (*named)->node->get<CoordinateSpace>();
                s && s->name == space) {
                origin = (*named)->frame.topLeft();
                break;
            }
    }
    QRectF frame = self.frame.translated(-origin);
    if (sizeOnly)
        frame.moveTopLeft(QPointF(0, 0));
    const auto old = pass.previous<GeometryRecord>(self.identity);
    if (!old || old->frame != frame)
        pass.later(HostPass::Phase::report, [action = report, frame] { action(frame); });
    pass.keep(self.identity, std::make_shared<GeometryRecord>(frame));
}

void FocusStop::commit(const Element& self, HostPass& pass) const {
    if (self.env().enabled)
        pass.keyboard().chain.push_back(self.identity);
}

void BoundFocus::commit(const Element& self, HostPass& pass) const {
    if (const Element* stop =
            firstInside(self, [](const Element& s) { return s.node->get<FocusStop>() != nullptr; }))
        pass.keyboard().bindings.push_back({self.identity, stop->identity, binding});
}

void Shortcut::commit(const Element& self, HostPass& pass) const {
    const Element* target =
        firstInside(self, [](const Element& e) { return e.node->isActionable(); });
    if (target && target->env().enabled)
        pass.keyboard().shortcuts.push_back({key, target->identity});
}

void TextFieldModel::commit(const Element& self, HostPass& pass) const {
    pass.host().keepLineEdit(self, *this, pass);
}

void DialogModel::commit(const Element& self, HostPass& pass) const {
    pass.host().keepDialog(self, *this, pass);
}

} // namespace ui
