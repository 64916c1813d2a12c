#pragma once

// What an account's shared store holds that no longer counts and may be removed.

#include "core/StorageNamespace.h"
#include "core/StoredShardKey.h"
#include "core/WorkdayID.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace DewlightCore {

struct StorageCleanup {
    // The texts of the account's shard keys that no longer count: an older generation, or
    // the generation in force on or before the discarded-through day. Sorted, each once.
    static std::vector<std::string>
    obsoleteShardKeys(std::span<const StoredShardKey> keys, const StorageNamespace& inForce,
                      const std::optional<WorkdayID>& discardedThrough);
};

} // namespace DewlightCore
