#include "core/StorageCleanup.h"

#include <algorithm>

namespace DewlightCore {

std::vector<std::string>
StorageCleanup::obsoleteShardKeys(std::span<const StoredShardKey> keys,
                                  const StorageNamespace& inForce,
                                  const std::optional<WorkdayID>& discardedThrough) {
    std::vector<std::string> texts;
    for (const StoredShardKey& key : keys) {
        const StorageNamespace& ns = key.storageNamespace();
        if (ns.account() != inForce.account()) {
            continue;
        }
        const bool older = ns.generation() < inForce.generation();
        const bool discarded = ns.generation() == inForce.generation() && discardedThrough &&
                               key.workday() <= *discardedThrough;
        if (older || discarded) {
            texts.push_back(key.text());
        }
    }
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    return texts;
}

} // namespace DewlightCore
