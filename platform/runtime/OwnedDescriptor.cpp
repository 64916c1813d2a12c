#include "platform/runtime/OwnedDescriptor.h"

#include <QSocketNotifier>
#include <unistd.h>
#include <utility>

namespace DewlightPlatform {

OwnedDescriptor::OwnedDescriptor(int descriptor) : descriptor_(descriptor < 0 ? -1 : descriptor) {}

OwnedDescriptor::~OwnedDescriptor() {
    close();
}

OwnedDescriptor::OwnedDescriptor(OwnedDescriptor&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), notifier_(std::move(other.notifier_)) {}

OwnedDescriptor& OwnedDescriptor::operator=(OwnedDescriptor&& other) noexcept {
    if (this != &other) {
        close();
        descriptor_ = std::exchange(other.descriptor_, -1);
        notifier_ = std::move(other.notifier_);
    }
    return *this;
}

void OwnedDescriptor::watch(std::function<void()> onReadable, bool priority) {
    if (descriptor_ < 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(
        descriptor_, priority ? QSocketNotifier::Exception : QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [onReadable = std::move(onReadable)] { onReadable(); });
}

void OwnedDescriptor::stopWatching() {
    if (notifier_) {
        notifier_->setEnabled(false);
    }
}

void OwnedDescriptor::close() {
    notifier_.reset();
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

} // namespace DewlightPlatform
