#include "platform/localization/Localizer.h"

#include <unicode/locid.h>
#include <unicode/plurrule.h>
#include <unicode/unistr.h>

namespace DewlightPlatform {

namespace {

std::string chooseLocale(const std::string& tableLanguage, std::string_view localeId) {
    const icu::Locale view(std::string(localeId).c_str());
    if (!view.isBogus() && tableLanguage == view.getLanguage())
        return view.getName();
    return tableLanguage;
}

std::unique_ptr<icu::PluralRules> makeRules(const std::string& localeId) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::PluralRules> rules(
        icu::PluralRules::forLocale(icu::Locale(localeId.c_str()), status));
    if (U_FAILURE(status))
        return nullptr;
    return rules;
}

template <typename Value>
const FormatArgument* first(std::span<const FormatArgument> arguments) {
    for (const auto& argument : arguments)
        if (std::holds_alternative<Value>(argument.value()))
            return &argument;
    return nullptr;
}

std::string render(const FormatArgument& argument) {
    if (const auto* integer = std::get_if<long long>(&argument.value()))
        return std::to_string(*integer);
    return std::get<std::string>(argument.value());
}

} // namespace

std::string fillPlaceholders(std::string_view format, std::span<const FormatArgument> arguments) {
    std::string out;
    out.reserve(format.size());
    auto next = arguments.begin();
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] != '%') {
            out += format[i++];
            continue;
        }
        const auto rest = format.substr(i + 1);
        if (rest.starts_with("%")) {
            out += '%';
            i += 2;
            continue;
        }
        const std::size_t length = rest.starts_with("lld") ? 4 : rest.starts_with("@") ? 2 : 0;
        if (length == 0) {
            out += '%';
            ++i;
            continue;
        }
        if (next == arguments.end())
            out.append(format.substr(i, length));
        else
            out += render(*next++);
        i += length;
    }
    return out;
}

Localizer::Localizer(StringTable table, std::string_view localeId)
    : table_(std::move(table)), pluralLocale_(chooseLocale(table_.language(), localeId)),
      rules_(makeRules(pluralLocale_)) {}

Localizer::Localizer(const Localizer& other)
    : table_(other.table_), pluralLocale_(other.pluralLocale_),
      rules_(other.rules_ ? other.rules_->clone() : nullptr) {}

Localizer& Localizer::operator=(const Localizer& other) {
    if (this != &other) {
        Localizer copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Localizer::Localizer(Localizer&&) noexcept = default;
Localizer& Localizer::operator=(Localizer&&) noexcept = default;
Localizer::~Localizer() = default;

std::string Localizer::pluralCategory(long long count) const {
    if (!rules_)
        return "other";
    std::string category;
    rules_->select(static_cast<double>(count)).toUTF8String(category);
    return category;
}

std::string Localizer::text(std::string_view key,
                            std::initializer_list<FormatArgument> arguments) const {
    return text(key, std::span<const FormatArgument>(arguments.begin(), arguments.size()));
}

std::string Localizer::text(std::string_view key, std::span<const FormatArgument> arguments) const {
    std::string_view format = key;
    if (const auto* entry = table_.find(key)) {
        format = entry->text;
        if (!entry->plural.empty()) {
            if (const auto* count = first<long long>(arguments)) {
                const auto category = pluralCategory(std::get<long long>(count->value()));
                auto form = entry->plural.find(category);
                if (form == entry->plural.end())
                    form = entry->plural.find("other");
                if (form != entry->plural.end())
                    format = form->second;
            }
        }
        if (const auto* argument = first<std::string>(arguments)) {
            const auto form = entry->forText.find(std::get<std::string>(argument->value()));
            if (form != entry->forText.end())
                format = form->second;
        }
    }
    return fillPlaceholders(format, arguments);
}

} // namespace DewlightPlatform
