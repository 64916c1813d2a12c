#include "core/StorageNamespace.h"

#include "core/StorageKeys.h"
#include "core/WorkdayID.h"

#include <utility>

namespace DewlightCore {

StorageNamespace::StorageNamespace(Identity<AccountTag> account, ResetGeneration generation)
    : account_(std::move(account)), generation_(std::move(generation)) {}

std::string StorageNamespace::key() const {
    const std::string& account = account_.rawValue();
    // Account texts may hold "." and ":", so the byte count is what keeps the account
    // apart from the generation that follows it.
    const std::string named = std::to_string(account.size()) + ":" + account + "." +
                              std::to_string(generation_.counter()) + "." +
                              generation_.writer().rawValue();
    return "roziv.v1.g" + StorageKeys::encode(named);
}

std::string StorageNamespace::accountResetPrefix() const {
    return "roziv.v1.a" + StorageKeys::encode(account_.rawValue()) + ".reset.";
}

std::string StorageNamespace::resetMarkerKey() const {
    return accountResetPrefix() + StorageKeys::encode(key());
}

std::string StorageNamespace::preferenceKey(PreferenceField field) const {
    return key() + ".preference." + std::string(rawValue(field));
}

std::string StorageNamespace::discardPrefix() const {
    return key() + ".discard.";
}

std::string StorageNamespace::discardKey(const WorkdayID& discardedThrough) const {
    return discardPrefix() + StorageKeys::day(discardedThrough);
}

std::string StorageNamespace::dayPrefix() const {
    return key() + ".day";
}

std::string StorageNamespace::shardKey(const WorkdayID& workday,
                                       const Identity<WriterTag>& writer) const {
    return dayPrefix() + StorageKeys::day(workday) + ".w" + StorageKeys::encode(writer.rawValue());
}

} // namespace DewlightCore
