#include "core/StoredShardKey.h"

#include <utility>

namespace DewlightCore {

StoredShardKey::StoredShardKey(StorageNamespace ns, WorkdayID workday, Identity<WriterTag> writer)
    : namespace_(std::move(ns)), workday_(workday), writer_(std::move(writer)) {}

std::string StoredShardKey::text() const {
    return namespace_.shardKey(workday_, writer_);
}

} // namespace DewlightCore
