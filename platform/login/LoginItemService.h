#pragma once

// The seam under the login item: the desktop's login items service, its status and its errors.

#include <stdexcept>
#include <string>

namespace DewlightPlatform {

// What the desktop reports about the application's login item.
enum class LoginItemStatus { notRegistered, enabled, requiresApproval, notFound };

// A register or unregister the desktop refused; its text describes why, for the log only.
class LoginItemError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The desktop's login items service for this application: the seam under `LoginItem`.
// Every call is synchronous and made on the calling thread.
class LoginItemService {
public:
    virtual ~LoginItemService() = default;

    virtual LoginItemStatus status() const = 0;
    // Both throw LoginItemError when the desktop refuses the change.
    virtual void registerItem() = 0;
    virtual void unregisterItem() = 0;
};

} // namespace DewlightPlatform
