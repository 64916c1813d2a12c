#include "kit/panel/LoginItem.h"

#include "platform/runtime/Log.h"

namespace KestraUI {

LoginItem::LoginItem(std::unique_ptr<LoginItemService> service, QObject* parent)
    : QObject(parent), service_(std::move(service)) {
    enabled_ = service_->status() == LoginItemStatus::enabled;
}

LoginItem::~LoginItem() = default;

void LoginItem::setEnabled(bool wanted) {
    try {
        if (wanted)
            service_->registerItem();
        else
            service_->unregisterItem();
    } catch (const std::exception& error) {
        qCCritical(DewlightPlatform::loginLog, "login item change failed: %s", error.what());
    }
    refresh();
}

void LoginItem::refresh() {
    store(service_->status() == LoginItemStatus::enabled);
}

void LoginItem::store(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    emit enabledChanged(enabled_);
}

} // namespace KestraUI
