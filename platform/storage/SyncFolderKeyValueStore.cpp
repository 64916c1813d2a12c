#include "platform/storage/SyncFolderKeyValueStore.h"

#include "platform/runtime/Log.h"
#include "platform/storage/AtomicWrite.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace DewlightPlatform {

namespace {

constexpr const char* suffix = ".kv";
constexpr std::size_t nameLimit = 240;
// Far above any value the application writes; a bigger file is not ours.
constexpr qint64 fileLimit = 4 * 1024 * 1024;
// Sync tools name conflict copies with it ("k.sync-conflict-…", "k_conflict-…", "k (conflicted
// copy …)"), in either case.
constexpr std::string_view conflictMarker = "conflict";

bool plain(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::vector<std::string> differingKeys(const std::map<std::string, QByteArray>& before,
                                       const std::map<std::string, QByteArray>& after) {
    std::set<std::string> keys;
    for (const auto& [key, value] : before) {
        auto other = after.find(key);
        if (other == after.end() || other->second != value)
            keys.insert(key);
    }
    for (const auto& [key, value] : after)
        if (!before.contains(key))
            keys.insert(key);
    return {keys.begin(), keys.end()};
}

std::size_t sizeOf(const std::string& key, const QByteArray& value) {
    return key.size() + static_cast<std::size_t>(value.size());
}

bool hasConflictMarker(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return lower.find(conflictMarker) != std::string::npos;
}

// A key file's bytes. A link is never followed (a synced link must not read a local file into
// the store), and a file of another kind or too big to be ours is not read.
std::optional<QByteArray> readKeyFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QFile file;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > fileLimit ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    auto bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<std::string> SyncFolderKeyValueStore::fileName(const std::string& key) {
    static const char* digits = "0123456789ABCDEF";
    if (key.empty())
        return std::nullopt; // it would make the hidden name ".kv", which no store reads
    std::string name;
    for (std::size_t i = 0; i < key.size(); ++i) {
        auto c = key[i];
        // The 'o' of "onflict" is escaped, so no name made here carries the conflict marker in
        // any case (whatever comes before the 'o', the letters can no longer join up).
        const bool breaksMarker = c == 'o' && key.compare(i, 7, "onflict") == 0;
        if (plain(c) && !(c == '.' && i == 0) && !breaksMarker) {
            name += c;
        } else if (c >= 'A' && c <= 'Z') {
            name += '^';
            name += static_cast<char>(c - 'A' + 'a');
        } else {
            auto byte = static_cast<unsigned char>(c);
            name += '%';
            name += digits[byte >> 4];
            name += digits[byte & 0xF];
        }
    }
    name += suffix;
    if (name.size() > nameLimit)
        return std::nullopt;
    return name;
}

std::optional<std::string> SyncFolderKeyValueStore::keyOf(const std::string& name) {
    if (!name.ends_with(suffix) || name.size() <= std::string_view(suffix).size() ||
        hasConflictMarker(name))
        return std::nullopt;
    auto body = std::string_view(name).substr(0, name.size() - std::string_view(suffix).size());
    std::string key;
    for (std::size_t i = 0; i < body.size(); ++i) {
        auto c = body[i];
        if (c == '^' && i + 1 < body.size() && body[i + 1] >= 'a' && body[i + 1] <= 'z') {
            key += static_cast<char>(body[++i] - 'a' + 'A');
        } else if (c == '%' && i + 2 < body.size() && hexValue(body[i + 1]) >= 0 &&
                   hexValue(body[i + 2]) >= 0) {
            key += static_cast<char>(hexValue(body[i + 1]) * 16 + hexValue(body[i + 2]));
            i += 2;
        } else if (plain(c)) {
            key += c;
        } else {
            return std::nullopt;
        }
    }
    // Only the one spelling that fileName makes is ours; anything else (a conflict copy, a
    // name another tool changed) is ignored.
    if (fileName(key) != name)
        return std::nullopt;
    return key;
}

SyncFolderKeyValueStore::SyncFolderKeyValueStore(SyncFolder& folder, Quota quota, QObject* parent)
    : KeyValueStore(parent), folder_(folder), quota_(quota) {
    removeStaleTemporaries();
    if (auto contents = scan())
        cache_ = std::move(*contents);
    connect(&folder_, &SyncFolder::tokenChanged, this, &SyncFolderKeyValueStore::accountChanged);
    connect(&folder_, &SyncFolder::rescanned, this, &SyncFolderKeyValueStore::rescanned);
}

bool SyncFolderKeyValueStore::usable() const {
    return folder_.availability() == SyncFolder::Availability::online &&
           folder_.accountFolder().has_value();
}

std::optional<SyncFolderKeyValueStore::Contents> SyncFolderKeyValueStore::scan() const {
    Contents contents;
    if (!usable())
        return contents;
    auto folder = *folder_.accountFolder();
    std::error_code error;
    if (!std::filesystem::exists(folder, error))
        return error ? std::nullopt : std::optional(contents); // nothing written yet
    std::filesystem::directory_iterator entries(folder, error);
    if (error)
        return std::nullopt;
    for (const auto& entry : entries) {
        auto name = entry.path().filename().string();
        if (name.starts_with('.'))
            continue; // hidden: temporary files of ours and of sync tools
        auto key = keyOf(name);
        // A link is not a key, wherever it points.
        if (!key || !entry.is_regular_file(error) || entry.is_symlink(error))
            continue;
        auto bytes = readKeyFile(entry.path());
        if (!bytes) {
            // Keep what we knew rather than report the key as gone.
            if (auto known = cache_.find(*key); known != cache_.end())
                contents.insert(*known);
            continue;
        }
        contents[*key] = std::move(*bytes);
    }
    return contents;
}

std::vector<std::string> SyncFolderKeyValueStore::keys() const {
    std::vector<std::string> result;
    if (!usable())
        return result;
    for (const auto& [key, value] : cache_)
        result.push_back(key);
    return result;
}

std::optional<QByteArray> SyncFolderKeyValueStore::data(const std::string& key) const {
    if (!usable())
        return std::nullopt;
    auto found = cache_.find(key);
    if (found == cache_.end())
        return std::nullopt;
    return found->second;
}

void SyncFolderKeyValueStore::set(const std::string& key, const QByteArray& data) {
    if (!usable())
        return; // offline: dropped
    auto name = fileName(key);
    if (!name) {
        qCWarning(systemLog, "A key that is empty or too long for the sync folder was not stored");
        return;
    }
    auto folder = *folder_.accountFolder();
    // Skipped only when the file already holds these bytes: the copy may be stale, with another
    // computer's value on disk since the last look.
    if (readKeyFile(folder / *name) == data) {
        cache_[key] = data;
        return;
    }
    std::size_t total = sizeOf(key, data);
    std::size_t count = 1;
    for (const auto& [k, v] : cache_)
        if (k != key) {
            total += sizeOf(k, v);
            ++count;
        }
    if (total > quota_.totalBytes || count > quota_.keyCount) {
        // One notice when the store becomes full, not one per refused write.
        if (!overQuota_) {
            overQuota_ = true;
            postLater(
                KeyValueStoreChange::make(KeyValueStoreChangeReason::quotaViolation, std::nullopt));
        }
        return;
    }
    // Only the account's own sub-folder is ever made, never the sync folder itself.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return;
    if (!AtomicWrite::write(folder / *name, data))
        return;
    overQuota_ = false;
    cache_[key] = data;
}

void SyncFolderKeyValueStore::remove(const std::string& key) {
    if (!usable() || !cache_.contains(key))
        return;
    auto name = fileName(key);
    if (name) {
        std::error_code error;
        std::filesystem::remove(*folder_.accountFolder() / *name, error);
        if (error)
            return;
    }
    cache_.erase(key);
    overQuota_ = false;
}

void SyncFolderKeyValueStore::postLater(KeyValueStoreChange change) {
    // Queued with the store as context: Qt drops it if the store goes first.
    QMetaObject::invokeMethod(
        this, [this, change] { emit externalChange(change); }, Qt::QueuedConnection);
}

void SyncFolderKeyValueStore::accountChanged() {
    auto before = std::move(cache_);
    cache_.clear();
    if (auto contents = scan())
        cache_ = std::move(*contents);
    overQuota_ = false;
    emit externalChange(KeyValueStoreChange::make(KeyValueStoreChangeReason::accountChange,
                                                  differingKeys(before, cache_)));
}

void SyncFolderKeyValueStore::removeStaleTemporaries() {
    // The sync tool copies whatever an interrupted write left here to every computer.
    if (usable())
        AtomicWrite::removeStaleTemporaries(*folder_.accountFolder());
}

void SyncFolderKeyValueStore::rescanned() {
    if (!usable())
        return; // offline: what we knew stays until the folder is back
    removeStaleTemporaries();
    auto contents = scan();
    if (!contents)
        return;
    auto changed = differingKeys(cache_, *contents);
    if (changed.empty())
        return;
    cache_ = std::move(*contents);
    emit externalChange(
        KeyValueStoreChange::make(KeyValueStoreChangeReason::serverChange, changed));
}

} // namespace DewlightPlatform
