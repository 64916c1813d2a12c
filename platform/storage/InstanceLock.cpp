#include "platform/storage/InstanceLock.h"

#include <QString>
#include <system_error>

namespace DewlightPlatform {

InstanceLock::InstanceLock(std::filesystem::path file) : file_(std::move(file)) {}

InstanceLock::~InstanceLock() = default;

InstanceLock::Result InstanceLock::acquire() {
    if (lock_ && lock_->isLocked())
        return Result::acquired;
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    lock_ = std::make_unique<QLockFile>(QString::fromStdString(file_.string()));
    // The holder never refreshes the file, so age alone never makes a lock stale.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0))
        return Result::acquired;
    return lock_->error() == QLockFile::LockFailedError ? Result::heldByAnother : Result::failed;
}

std::optional<qint64> InstanceLock::holder() const {
    qint64 pid = 0;
    QString host, application;
    if (!lock_ || lock_->isLocked() || !lock_->getLockInfo(&pid, &host, &application))
        return std::nullopt;
    return pid;
}

} // namespace DewlightPlatform
