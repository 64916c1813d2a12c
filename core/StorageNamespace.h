#pragma once

#include "core/Identity.h"
#include "core/PreferenceField.h"
#include "core/ResetGeneration.h"

#include <string>

namespace DewlightCore {

class WorkdayID;

// The key family of one account in one reset generation. Every text here is a wire
// format shared with the other machines of the account: change nothing lightly.
class StorageNamespace {
public:
    StorageNamespace(Identity<AccountTag> account, ResetGeneration generation);

    const Identity<AccountTag>& account() const { return account_; }
    const ResetGeneration& generation() const { return generation_; }

    // "roziv.v1.g" + digest of "<account byte count>:<account>.<counter>.<writer>"; 53 characters.
    std::string key() const;
    // Depends on the account only, so every reset marker of the account shares it; 60 characters.
    std::string accountResetPrefix() const;
    // 103 characters.
    std::string resetMarkerKey() const;
    std::string preferenceKey(PreferenceField field) const;
    std::string discardPrefix() const;
    std::string discardKey(const WorkdayID& discardedThrough) const;
    // Ends in "day" with no dot: the day text follows directly.
    std::string dayPrefix() const;
    // 103 to 115 characters.
    std::string shardKey(const WorkdayID& workday, const Identity<WriterTag>& writer) const;

    friend bool operator==(const StorageNamespace&, const StorageNamespace&) = default;

private:
    Identity<AccountTag> account_;
    ResetGeneration generation_;
};

} // namespace DewlightCore
