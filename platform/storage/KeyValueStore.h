#pragma once

// The key-value store shared between the user's computers, and the changes it reports.

#include <QByteArray>
#include <QObject>
#include <QVariant>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace DewlightPlatform {

// Why the shared store changed under this process.
enum class KeyValueStoreChangeReason : std::int64_t {
    serverChange = 0,
    initialSync = 1,
    quotaViolation = 2,
    accountChange = 3,
};

// One external-change notice. Both entries are carried as sent (an invalid QVariant when absent),
// because readers must refuse a reason that is not an integer or keys that are not a list of texts
// rather than guess.
struct KeyValueStoreChange {
    QVariant reason;
    QVariant changedKeys;

    static KeyValueStoreChange make(std::optional<KeyValueStoreChangeReason> reason,
                                    std::optional<std::vector<std::string>> keys);

    // The reason when it is an integer (booleans, floating numbers and texts are not).
    std::optional<std::int64_t> integerReason() const;
    // The changed keys when they are a list made only of texts.
    std::optional<std::vector<std::string>> keyList() const;
};

// The key-value store that every computer of one account shares. Values are bytes. Writes of this
// process never come back to it as a notice; changes made elsewhere arrive as `externalChange`.
class KeyValueStore : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~KeyValueStore() override = default;

    // Every key now in the store, sorted.
    virtual std::vector<std::string> keys() const = 0;
    virtual std::optional<QByteArray> data(const std::string& key) const = 0;
    virtual void set(const std::string& key, const QByteArray& data) = 0;
    virtual void remove(const std::string& key) = 0;
    // Asks the store to exchange pending changes now.
    virtual void synchronize() = 0;

signals:
    void externalChange(const DewlightPlatform::KeyValueStoreChange& change);
};

} // namespace DewlightPlatform
