#pragma once

#include "platform/runtime/FileWatch.h"

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <optional>
#include <string>

namespace DewlightPlatform {

// The folder that a file-sync tool (Syncthing, Nextcloud, ...) replicates between the user's
// computers, usually $XDG_DATA_HOME/Dewlight/Sync or a link into the tool's folder. The text of
// its file "account" is the sync account's token. This process never creates the folder or the
// token; it only watches them.
//
// A folder that is present but cannot be read (a dangling link, an unmounted share, or an empty
// folder where a token was just seen) is offline: the last token stays, nothing is read or written.
// Only a token file missing from a readable, non-empty folder is a sign-out.
//
// Changes are seen through inotify, so at rest nothing wakes: the nearest existing folder above
// the path (and above a dangling link's target) for their appearance, the folder, its token and
// the account's folder for changes, and the mount table while offline. Only on a network or FUSE
// mount, where other machines' writes reach no inotify, is the folder looked at again on a slow
// period.
class SyncFolder : public QObject {
    Q_OBJECT
public:
    enum class Availability { notConfigured, offline, online };

    struct Options {
        // Only on a network or FUSE mount.
        int rescanIntervalMs = 120'000;
        int debounceMs = 250;
    };

    explicit SyncFolder(std::filesystem::path root, Options options, QObject* parent = nullptr);
    explicit SyncFolder(std::filesystem::path root) : SyncFolder(std::move(root), Options{}) {}

    const std::filesystem::path& root() const { return root_; }
    Availability availability() const { return availability_; }
    const std::optional<std::string>& token() const { return token_; }
    // The folder that holds the current account's keys (it may not exist yet); none without
    // a token.
    std::optional<std::filesystem::path> accountFolder() const;

    // Looks again after a short delay; several requests in that delay make one look.
    void scheduleRescan();
    // Looks now.
    void rescan();

signals:
    // The token changed (signed in, out, or another account).
    void tokenChanged();
    // A look finished; the account's folder may hold other files now.
    void rescanned();

private:
    void watch();
    void watchMounts(bool wanted);

    std::filesystem::path root_;
    Availability availability_ = Availability::notConfigured;
    std::optional<std::string> token_;
    FileWatch files_;
    OwnedDescriptor mounts_;
    QTimer debounce_;
    QTimer periodic_;
};

} // namespace DewlightPlatform
