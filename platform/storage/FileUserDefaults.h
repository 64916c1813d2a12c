#pragma once

#include "platform/storage/AtomicWrite.h"
#include "platform/storage/UserDefaults.h"

#include <filesystem>
#include <map>

namespace DewlightPlatform {

// The defaults of this computer, kept in one JSON file (never synced: each computer needs its own
// writer identity). Every change is written through at once; an unchanged value writes nothing.
// The file that a write replaces is kept as "<name>.previous" to fall back to; a file that cannot
// be read is moved aside as "<name>.damaged-<time>", never overwritten. A symbolic link in place of
// the file is written through to its target; one that cannot be followed is left as it is and
// the defaults are not readable until it is mended. Temporary files that an
// interrupted write left in the folder are removed when the defaults open.
class FileUserDefaults final : public UserDefaults {
public:
    // `file` is usually $XDG_STATE_HOME/dewlight/defaults.json; its folder is created on the
    // first write.
    explicit FileUserDefaults(std::filesystem::path file, AtomicWrite::StageHook hook = {});

    bool readable() override;
    std::optional<UserDefaultsValue> value(const std::string& key) const override;
    void set(const std::string& key, UserDefaultsValue value) override;
    void remove(const std::string& key) override;
    std::vector<std::string> keys() const override;

    const std::filesystem::path& file() const { return file_; }
    // False after a write that did not reach the disk (or a value refused as not storable); the
    // next change writes everything again.
    bool lastWriteSucceeded() const { return lastWriteSucceeded_; }

    static QByteArray encode(const std::map<std::string, UserDefaultsValue>& values);
    static std::optional<std::map<std::string, UserDefaultsValue>> decode(const QByteArray& bytes);

private:
    std::filesystem::path previousFile() const;
    void load();
    void moveAside(const std::filesystem::path& damaged);
    void save();

    std::filesystem::path file_;
    AtomicWrite::StageHook hook_;
    std::map<std::string, UserDefaultsValue> values_;
    bool lastWriteSucceeded_ = true;
    bool brokenLink_ = false;
};

} // namespace DewlightPlatform
