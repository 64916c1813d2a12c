#include "platform/storage/SyncFolder.h"

#include <QCryptographicHash>
#include <QFile>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <system_error>

namespace DewlightPlatform {

namespace {

constexpr qint64 tokenLimit = 4096;

struct Look {
    SyncFolder::Availability availability;
    std::optional<std::string> token;
};

Look look(const std::filesystem::path& root, bool tokenKnown) {
    using A = SyncFolder::Availability;
    std::error_code error;
    auto linkStatus = std::filesystem::symlink_status(root, error);
    if (error || !std::filesystem::exists(linkStatus))
        return {A::notConfigured, std::nullopt};
    std::filesystem::directory_iterator entries(root, error);
    if (error)
        return {A::offline, std::nullopt}; // dangling link, not a folder, or unreadable
    bool empty = entries == std::filesystem::directory_iterator();
    auto tokenFile = root / "account";
    if (!std::filesystem::exists(tokenFile, error)) {
        // A token behind a link that cannot be followed is away, as on an unmounted share.
        std::error_code linkError;
        const bool brokenLink =
            std::filesystem::is_symlink(std::filesystem::symlink_status(tokenFile, linkError));
        if (error || brokenLink || (empty && tokenKnown))
            return {A::offline, std::nullopt}; // most likely an unmounted share
        return {A::online, std::nullopt};
    }
    QFile file(tokenFile);
    if (!file.open(QIODevice::ReadOnly))
        return {A::offline, std::nullopt};
    auto text = file.read(tokenLimit + 1);
    if (file.error() != QFileDevice::NoError)
        return {A::offline, std::nullopt};
    text = text.trimmed();
    if (text.isEmpty() || text.size() > tokenLimit)
        return {A::online, std::nullopt};
    return {A::online, text.toStdString()};
}

// Another machine writes straight into these; inotify only sees this machine's writes.
bool isRemote(const std::filesystem::path& path) {
    struct statfs info {};
    if (::statfs(path.c_str(), &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case 0xFF534D42: // CIFS
    case 0xFE534D42: // SMB2
    case FUSE_SUPER_MAGIC:
    case CODA_SUPER_MAGIC:
    case AFS_SUPER_MAGIC:
    case CEPH_SUPER_MAGIC:
    case V9FS_MAGIC:
        return true;
    default:
        return false;
    }
}

// The nearest folder above `path` that exists, and the entry in it on the way to `path`.
std::pair<std::filesystem::path, std::string> nearestExisting(std::filesystem::path path) {
    std::error_code error;
    path = std::filesystem::absolute(path, error).lexically_normal();
    while (path.has_relative_path()) {
        auto parent = path.parent_path();
        if (std::filesystem::is_directory(parent, error))
            return {parent, path.filename().string()};
        path = parent;
    }
    return {path, {}};
}

constexpr std::uint32_t entryEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM | IN_CLOSE_WRITE | IN_ATTRIB;
constexpr std::uint32_t selfEvents = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

} // namespace

SyncFolder::SyncFolder(std::filesystem::path root, Options options, QObject* parent)
    : QObject(parent), root_(std::move(root)),
      files_([this](std::uint32_t) { scheduleRescan(); }) {
    debounce_.setSingleShot(true);
    debounce_.setInterval(options.debounceMs);
    connect(&debounce_, &QTimer::timeout, this, &SyncFolder::rescan);
    periodic_.setInterval(options.rescanIntervalMs);
    connect(&periodic_, &QTimer::timeout, this, &SyncFolder::scheduleRescan);
    auto first = look(root_, false);
    availability_ = first.availability;
    token_ = first.token;
    watch();
}

std::optional<std::filesystem::path> SyncFolder::accountFolder() const {
    if (!token_)
        return std::nullopt;
    // A digest names the folder, so any token text makes a safe name.
    auto digest =
        QCryptographicHash::hash(QByteArray::fromStdString(*token_), QCryptographicHash::Sha256)
            .toHex()
            .left(32);
    return root_ / ("account-" + digest.toStdString());
}

void SyncFolder::scheduleRescan() {
    if (!debounce_.isActive())
        debounce_.start();
}

void SyncFolder::rescan() {
    debounce_.stop();
    auto next = look(root_, token_.has_value());
    availability_ = next.availability;
    bool tokenChangedNow = false;
    // Offline keeps the last token: an unmounted share is not a sign-out.
    if (next.availability == Availability::online ||
        next.availability == Availability::notConfigured) {
        if (next.token != token_) {
            token_ = next.token;
            tokenChangedNow = true;
        }
    }
    watch();
    if (tokenChangedNow)
        emit tokenChanged();
    emit rescanned();
}

void SyncFolder::watch() {
    // Renewed after every look: a replaced file or folder is another inode.
    files_.clear();
    auto [above, entry] = nearestExisting(root_);
    files_.add(above, entryEvents | selfEvents, entry);
    std::error_code error;
    if (std::filesystem::is_symlink(root_, error)) {
        auto target = std::filesystem::read_symlink(root_, error);
        if (!error && !std::filesystem::exists(root_, error)) {
            // A dangling link: its target may still appear.
            auto [targetAbove, targetEntry] = nearestExisting(root_.parent_path() / target);
            files_.add(targetAbove, entryEvents | selfEvents, targetEntry);
        }
    }
    const bool present = std::filesystem::is_directory(root_, error);
    if (present) {
        files_.add(root_, entryEvents | selfEvents);
        files_.add(root_ / "account", IN_CLOSE_WRITE | IN_ATTRIB | selfEvents);
        if (auto folder = accountFolder())
            files_.add(*folder, entryEvents | selfEvents);
    }
    if (present && isRemote(root_)) {
        if (!periodic_.isActive())
            periodic_.start();
    } else {
        periodic_.stop();
    }
    // An unmounted share comes back with a mount, which no inotify event tells.
    watchMounts(availability_ == Availability::offline);
}

void SyncFolder::watchMounts(bool wanted) {
    if (!wanted) {
        mounts_ = OwnedDescriptor();
        return;
    }
    if (mounts_.isOpen())
        return;
    mounts_ = OwnedDescriptor(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC));
    // The table reports a change as urgent data, once per change.
    mounts_.watch([this] { scheduleRescan(); }, true);
}

} // namespace DewlightPlatform
