#pragma once

#include "platform/login/LoginItemService.h"

#include <optional>
#include <string>

namespace DewlightPlatform {

// A login items service in memory, for tests: it records every call, can refuse a change with
// a scripted error, and can answer a register with a status other than enabled (approval).
class LocalLoginService final : public LoginItemService {
public:
    LoginItemStatus current = LoginItemStatus::notRegistered;
    // Where a successful register leaves the status.
    LoginItemStatus afterRegister = LoginItemStatus::enabled;
    // When set, the next calls of that kind fail with this description and change nothing.
    std::optional<std::string> registerFailure;
    std::optional<std::string> unregisterFailure;

    int registerCalls = 0;
    int unregisterCalls = 0;
    mutable int statusReads = 0;

    LoginItemStatus status() const override {
        ++statusReads;
        return current;
    }
    void registerItem() override {
        ++registerCalls;
        if (registerFailure)
            throw LoginItemError(*registerFailure);
        current = afterRegister;
    }
    void unregisterItem() override {
        ++unregisterCalls;
        if (unregisterFailure)
            throw LoginItemError(*unregisterFailure);
        current = LoginItemStatus::notRegistered;
    }
};

} // namespace DewlightPlatform
