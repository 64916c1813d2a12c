#pragma once

#include "core/Identity.h"
#include "core/StorageNamespace.h"
#include "core/WorkdayID.h"

#include <string>

namespace DewlightCore {

// The parts that name one writer's shard of one working day.
class StoredShardKey {
public:
    StoredShardKey(StorageNamespace ns, WorkdayID workday, Identity<WriterTag> writer);

    const StorageNamespace& storageNamespace() const { return namespace_; }
    const WorkdayID& workday() const { return workday_; }
    const Identity<WriterTag>& writer() const { return writer_; }

    // The shard key text, the same as StorageNamespace::shardKey.
    std::string text() const;

    friend bool operator==(const StoredShardKey&, const StoredShardKey&) = default;

private:
    StorageNamespace namespace_;
    WorkdayID workday_;
    Identity<WriterTag> writer_;
};

} // namespace DewlightCore
