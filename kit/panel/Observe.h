#pragma once

#include "ui/HostContext.h"
#include "ui/Node.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace KestraUI {

namespace detail {

// One signal connection that asks a window to rebuild; kept in the window's view state, so it
// is cut when the view leaves the tree.
class Observation {
public:
    Observation() = default;
    Observation(const Observation&) = delete;
    Observation& operator=(const Observation&) = delete;
    ~Observation() { QObject::disconnect(connection_); }

    template <typename Object, typename Signal>
    void watch(Object* object, Signal signal, std::weak_ptr<ui::HostContext> host) {
        if (watched_ == object && connection_)
            return;
        QObject::disconnect(connection_);
        watched_ = object;
        connection_ = QObject::connect(object, signal, object, [host = std::move(host)] {
            if (auto window = host.lock())
                window->invalidate();
        });
    }

private:
    QPointer<QObject> watched_;
    QMetaObject::Connection connection_;
};

} // namespace detail

// Shows `content` and rebuilds the window each time `object` emits `signal`, for as long as
// this node stays in the window's tree: how a view follows an observable object that is not
// the model (the login item, the update notifier). Pictures and layout passes have no window
// and only show `content`.
template <typename Object, typename Signal>
ui::Node observing(Object* object, Signal signal, ui::Node content) {
    QPointer<Object> target(object);
    return ui::builder([target, signal, content = std::move(content)](const ui::Element& self) {
        const ui::Environment& env = self.env();
        if (env.host && target) {
            auto cell = std::static_pointer_cast<detail::Observation>(
                env.host->stateCell(self.identity, typeid(detail::Observation), [] {
                    return std::static_pointer_cast<void>(std::make_shared<detail::Observation>());
                }));
            cell->watch(target.data(), signal, std::weak_ptr<ui::HostContext>(env.host));
        }
        return content;
    });
}

} // namespace KestraUI
