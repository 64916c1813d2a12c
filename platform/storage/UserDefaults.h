#pragma once

// This computer's defaults: typed values under string keys.

#include <QByteArray>
#include <cmath>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace DewlightPlatform {

// A moment stored in the defaults: seconds since 2001-01-01 00:00:00 UTC. Its own type so that a
// date never reads back as a number of another meaning.
struct UserDefaultsDate {
    double seconds = 0;
    bool operator==(const UserDefaultsDate&) const = default;
};

// Text is UTF-8; bytes are opaque.
using UserDefaultsValue = std::variant<std::string, QByteArray, UserDefaultsDate>;

// Small typed key/value store for this computer's own settings and bookkeeping.
// A getter answers only when the stored value has the asked type: bytes asked for a key that holds
// text are absent. Setting a value equal to the stored one, or removing an absent key, writes
// nothing. A date that is not a finite number is refused: nothing is stored or written.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    // False for a date that is not a finite number: it has no stored form.
    static bool isStorable(const UserDefaultsValue& value) {
        const auto* date = std::get_if<UserDefaultsDate>(&value);
        return !date || std::isfinite(date->seconds);
    }

    // False while stored defaults exist but cannot be read (a symbolic link that cannot be
    // followed): values read as absent and nothing is written over them. Each call looks again,
    // so a mended link is picked up.
    virtual bool readable() { return true; }

    virtual std::optional<UserDefaultsValue> value(const std::string& key) const = 0;
    virtual void set(const std::string& key, UserDefaultsValue value) = 0;
    virtual void remove(const std::string& key) = 0;
    // Every stored key, sorted.
    virtual std::vector<std::string> keys() const = 0;

    std::optional<std::string> text(const std::string& key) const {
        return typed<std::string>(key);
    }
    std::optional<QByteArray> bytes(const std::string& key) const { return typed<QByteArray>(key); }
    std::optional<double> date(const std::string& key) const {
        auto stored = typed<UserDefaultsDate>(key);
        return stored ? std::optional<double>(stored->seconds) : std::nullopt;
    }

    void setText(const std::string& key, std::string text) { set(key, std::move(text)); }
    void setBytes(const std::string& key, QByteArray bytes) { set(key, std::move(bytes)); }
    void setDate(const std::string& key, double seconds) { set(key, UserDefaultsDate{seconds}); }

private:
    template <typename T> std::optional<T> typed(const std::string& key) const {
        auto stored = value(key);
        if (!stored)
            return std::nullopt;
        if (auto* found = std::get_if<T>(&*stored))
            return std::move(*found);
        return std::nullopt;
    }
};

} // namespace DewlightPlatform
