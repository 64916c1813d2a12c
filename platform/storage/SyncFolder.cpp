#include "platform/storage/SyncFolder.h"

#include <QCryptographicHash>
#include <QFile>
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

} // namespace

SyncFolder::SyncFolder(std::filesystem::path root, Options options, QObject* parent)
    : QObject(parent), root_(std::move(root)) {
    debounce_.setSingleShot(true);
    debounce_.setInterval(options.debounceMs);
    connect(&debounce_, &QTimer::timeout, this, &SyncFolder::rescan);
    periodic_.setInterval(options.rescanIntervalMs);
    connect(&periodic_, &QTimer::timeout, this, &SyncFolder::scheduleRescan);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &SyncFolder::scheduleRescan);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &SyncFolder::scheduleRescan);
    auto first = look(root_, false);
    availability_ = first.availability;
    token_ = first.token;
    watch();
    periodic_.start();
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
    // The watcher forgets paths that disappear, so the list is renewed after every look.
    QStringList wanted;
    std::error_code error;
    auto add = [&](const std::filesystem::path& path) {
        if (std::filesystem::exists(path, error))
            wanted.push_back(QString::fromStdString(path.string()));
    };
    add(root_);
    add(root_ / "account");
    if (auto folder = accountFolder())
        add(*folder);
    auto watched = watcher_.directories() + watcher_.files();
    for (const auto& path : watched)
        if (!wanted.contains(path))
            watcher_.removePath(path);
    for (const auto& path : wanted)
        if (!watched.contains(path))
            watcher_.addPath(path);
}

} // namespace DewlightPlatform
