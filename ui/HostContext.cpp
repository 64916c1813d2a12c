#include "ui/HostContext.h"

namespace ui {

HostContext::HostContext(std::function<void()> invalidate, std::function<double()> clock)
    : invalidate_(std::move(invalidate)), animations_(std::move(clock)) {}

std::shared_ptr<void> HostContext::stateCell(const QString& identity, std::type_index type,
                                             const std::function<std::shared_ptr<void>()>& make) {
    used_.insert(identity);
    auto found = cells_.find(identity);
    if (found != cells_.end() && found->type == type)
        return found->value;
    std::shared_ptr<void> value = make();
    cells_.insert(identity, Cell{type, value});
    return value;
}

void HostContext::setScrollOffset(const QString& identity, double offset) {
    scrollOffsets_.insert(identity, offset);
}

void HostContext::beginPass() {
    used_.clear();
}

void HostContext::endPass(const std::function<bool(const QString&)>& present) {
    auto kept = [&](const QString& identity) {
        return used_.contains(identity) && present(identity);
    };
    for (auto it = cells_.begin(); it != cells_.end();)
        it = kept(it.key()) ? std::next(it) : cells_.erase(it);
    for (auto it = scrollOffsets_.begin(); it != scrollOffsets_.end();)
        it = kept(it.key()) ? std::next(it) : scrollOffsets_.erase(it);
    if (!pressed_.isEmpty() && !present(pressed_))
        pressed_.clear();
    animations_.retain(present);
}

} // namespace ui
