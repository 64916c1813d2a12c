#pragma once

#include "platform/localization/StringTable.h"

#include <concepts>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unicode/uversion.h>
#include <variant>

U_NAMESPACE_BEGIN
class PluralRules;
U_NAMESPACE_END

namespace DewlightPlatform {

// One value for a placeholder: an integer for "%lld", a text for "%@".
class FormatArgument {
public:
    template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>) FormatArgument(T value)
        : value_(static_cast<long long>(value)) {}
    FormatArgument(std::string value) : value_(std::move(value)) {}
    FormatArgument(std::string_view value) : value_(std::string(value)) {}
    FormatArgument(const char* value) : value_(std::string(value)) {}

    const std::variant<long long, std::string>& value() const { return value_; }

private:
    std::variant<long long, std::string> value_;
};

// Fills the placeholders of `format` in order, as Localizer::text below describes; a text's key
// is filled the same way where no table is installed.
std::string fillPlaceholders(std::string_view format, std::span<const FormatArgument> arguments);

// Every user-visible text goes through here: key → text of the table, the key itself where the
// table has none, placeholders filled in order, the plural form picked by ICU.
//
// Placeholders: "%lld" and "%@" each take the next argument (an integer in plain decimal
// digits, a text as it is), "%%" is one "%". A placeholder without an argument left stays as it
// is written, so a missing value shows instead of vanishing.
//
// Plural forms are chosen by the first integer argument with the plural rules of the view's
// locale. When the view's language is not the table's, the texts are the table's language and
// so are the rules (an English fallback table under a French locale still reads "0 glasses").
class Localizer {
public:
    Localizer(StringTable table, std::string_view localeId);
    Localizer(const Localizer& other);
    Localizer& operator=(const Localizer& other);
    Localizer(Localizer&&) noexcept;
    Localizer& operator=(Localizer&&) noexcept;
    ~Localizer();

    const StringTable& table() const { return table_; }
    // The locale whose plural rules are in use.
    const std::string& pluralLocale() const { return pluralLocale_; }

    std::string text(std::string_view key,
                     std::initializer_list<FormatArgument> arguments = {}) const;
    // The same for arguments gathered at run time.
    std::string text(std::string_view key, std::span<const FormatArgument> arguments) const;

    // The ICU plural category ("one", "other", ...) of a count in the locale in use.
    std::string pluralCategory(long long count) const;

private:
    StringTable table_;
    std::string pluralLocale_;
    std::unique_ptr<icu::PluralRules> rules_;
};

} // namespace DewlightPlatform
