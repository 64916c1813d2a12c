#include "platform/storage/FileUserDefaults.h"

#include "platform/json/Json.h"
#include "platform/runtime/Log.h"

#include <QDateTime>
#include <QFile>
#include <nlohmann/json.hpp>
#include <utility>

namespace DewlightPlatform {

namespace {

constexpr int formatVersion = 1;

std::optional<QByteArray> readFile(const std::filesystem::path& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

FileUserDefaults::FileUserDefaults(std::filesystem::path file, AtomicWrite::StageHook hook)
    : file_(std::move(file)), hook_(std::move(hook)) {
    AtomicWrite::removeStaleTemporaries(file_.parent_path());
    load();
}

std::filesystem::path FileUserDefaults::previousFile() const {
    auto previous = file_;
    previous += ".previous";
    return previous;
}

QByteArray FileUserDefaults::encode(const std::map<std::string, UserDefaultsValue>& values) {
    JsonValue entries = JsonValue::object();
    for (const auto& [key, value] : values) {
        JsonValue entry;
        if (auto* text = std::get_if<std::string>(&value))
            entry["text"] = *text;
        else if (auto* bytes = std::get_if<QByteArray>(&value))
            entry["bytes"] = bytes->toBase64().toStdString();
        else
            entry["date"] = std::get<UserDefaultsDate>(value).seconds;
        entries[key] = std::move(entry);
    }
    JsonValue document;
    document["version"] = formatVersion;
    document["values"] = std::move(entries);
    // Keys or texts that are not UTF-8 are written with replacement characters rather than
    // making the whole file unwritable.
    return QByteArray::fromStdString(
        document.dump(2, ' ', false, JsonValue::error_handler_t::replace) + "\n");
}

std::optional<std::map<std::string, UserDefaultsValue>>
FileUserDefaults::decode(const QByteArray& bytes) {
    std::map<std::string, UserDefaultsValue> values;
    try {
        const auto document = Json::parse(std::string_view(bytes.constData(), bytes.size()));
        if (Json::field<std::int64_t>(document, "version") != formatVersion)
            return std::nullopt;
        const auto& entries = Json::at(document, "values");
        if (!entries.is_object())
            return std::nullopt;
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            const auto& key = it.key();
            const auto& entry = it.value();
            if (!entry.is_object() || entry.size() != 1)
                return std::nullopt;
            auto member = entry.begin();
            const auto& kind = member.key();
            const auto& content = member.value();
            if (kind == "text") {
                values.emplace(key, Json::decode<std::string>(content));
            } else if (kind == "bytes") {
                auto decoded = QByteArray::fromBase64Encoding(
                    QByteArray::fromStdString(Json::decode<std::string>(content)),
                    QByteArray::AbortOnBase64DecodingErrors);
                if (!decoded)
                    return std::nullopt;
                values.emplace(key, *decoded);
            } else if (kind == "date") {
                values.emplace(key, UserDefaultsDate{Json::decode<double>(content)});
            } else {
                return std::nullopt;
            }
        }
    } catch (const DecodingError&) {
        return std::nullopt;
    }
    return values;
}

void FileUserDefaults::moveAside(const std::filesystem::path& damaged) {
    auto stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto aside = damaged;
        aside += ".damaged-" + stamp.toStdString();
        if (attempt > 0)
            aside += "-" + std::to_string(attempt);
        if (std::filesystem::exists(aside, error))
            continue;
        std::filesystem::rename(damaged, aside, error);
        if (!error)
            qCWarning(systemLog, "Unreadable settings file moved aside to %s", aside.c_str());
        return;
    }
}

void FileUserDefaults::load() {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(file_, error)))
        return; // nothing stored yet: a new computer
    const bool wasBroken = std::exchange(brokenLink_, !AtomicWrite::linkTarget(file_));
    if (brokenLink_) {
        // A backup disk not mounted, a moved folder: the settings are elsewhere, not gone.
        if (!wasBroken)
            qCWarning(systemLog, "The settings file %s is a link that cannot be followed",
                      file_.c_str());
        return;
    }
    if (auto bytes = readFile(file_))
        if (auto values = decode(*bytes)) {
            values_ = std::move(*values);
            return;
        }
    moveAside(file_);
    auto previous = previousFile();
    if (!std::filesystem::exists(previous, error))
        return;
    if (auto bytes = readFile(previous))
        if (auto values = decode(*bytes)) {
            values_ = std::move(*values);
            // Restore the main file so the next launch does not start empty.
            lastWriteSucceeded_ = AtomicWrite::write(file_, *bytes);
            return;
        }
    moveAside(previous);
}

bool FileUserDefaults::readable() {
    if (brokenLink_)
        load();
    return !brokenLink_;
}

void FileUserDefaults::save() {
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    const auto target = brokenLink_ ? std::nullopt : AtomicWrite::linkTarget(file_);
    lastWriteSucceeded_ =
        !error && target && AtomicWrite::write(*target, encode(values_), previousFile(), hook_);
    if (!lastWriteSucceeded_)
        qCWarning(systemLog, "Could not write the settings file %s", file_.c_str());
}

std::optional<UserDefaultsValue> FileUserDefaults::value(const std::string& key) const {
    auto found = values_.find(key);
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

void FileUserDefaults::set(const std::string& key, UserDefaultsValue value) {
    // Written, it would make the whole file unreadable, and the next write its previous copy too.
    if (!isStorable(value)) {
        qCWarning(systemLog, "A date that is not a finite number was not stored under %s",
                  key.c_str());
        lastWriteSucceeded_ = false;
        return;
    }
    auto [slot, inserted] = values_.try_emplace(key, value);
    if (!inserted) {
        if (slot->second == value && lastWriteSucceeded_)
            return;
        slot->second = std::move(value);
    }
    save();
}

void FileUserDefaults::remove(const std::string& key) {
    if (values_.erase(key) > 0 || !lastWriteSucceeded_)
        save();
}

std::vector<std::string> FileUserDefaults::keys() const {
    std::vector<std::string> result;
    for (const auto& [key, value] : values_)
        result.push_back(key);
    return result;
}

} // namespace DewlightPlatform
