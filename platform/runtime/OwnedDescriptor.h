#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace DewlightPlatform {

// A file descriptor this object closes, and the notifier that reads it through the event loop
// when one is asked for. The notifier always goes before the descriptor is closed: left behind,
// it would watch whatever file the kernel hands that number to next. A move hands over both,
// with the callback; the object moved from owns nothing.
class OwnedDescriptor {
public:
    // Takes `descriptor`; a negative one is none: nothing is watched and nothing closed.
    explicit OwnedDescriptor(int descriptor = -1);
    ~OwnedDescriptor();
    OwnedDescriptor(OwnedDescriptor&& other) noexcept;
    OwnedDescriptor& operator=(OwnedDescriptor&& other) noexcept;
    OwnedDescriptor(const OwnedDescriptor&) = delete;
    OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;

    int get() const { return descriptor_; }
    bool isOpen() const { return descriptor_ >= 0; }

    // Calls `onReadable` on the event loop whenever the descriptor can be read, until watching
    // stops or this object goes. The notifier is the connection's context, and it lives exactly
    // as long as this object, which its owner keeps: the callback may use the owner freely.
    // Does nothing for no descriptor. `priority`: calls back on urgent data (POLLPRI) instead,
    // as the mount table reports its changes.
    void watch(std::function<void()> onReadable, bool priority = false);
    // Stops calling back; the descriptor stays open.
    void stopWatching();

private:
    void close();

    int descriptor_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace DewlightPlatform
