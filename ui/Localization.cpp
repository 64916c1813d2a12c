#include "ui/Localization.h"

#include "platform/localization/Localizer.h"

namespace ui {

namespace {

std::vector<DewlightPlatform::FormatArgument>
formatArguments(const std::vector<TextArgument>& arguments) {
    std::vector<DewlightPlatform::FormatArgument> converted;
    converted.reserve(arguments.size());
    for (const TextArgument& argument : arguments) {
        if (const auto* number = std::get_if<long long>(&argument))
            converted.emplace_back(*number);
        else
            converted.emplace_back(std::get<QString>(argument).toStdString());
    }
    return converted;
}

} // namespace

QString fillArguments(const QString& key, const std::vector<TextArgument>& arguments) {
    return QString::fromStdString(
        DewlightPlatform::fillPlaceholders(key.toStdString(), formatArguments(arguments)));
}

Localizer localizer(std::shared_ptr<const DewlightPlatform::Localizer> platform) {
    return [platform = std::move(platform)](const QString& key,
                                            const std::vector<TextArgument>& arguments) {
        return QString::fromStdString(
            platform->text(key.toStdString(), formatArguments(arguments)));
    };
}

std::shared_ptr<const DewlightPlatform::Localizer> shippedTexts(const QLocale& locale) {
    return std::make_shared<const DewlightPlatform::Localizer>(DewlightPlatform::englishStrings(),
                                                               locale.name().toStdString());
}

Localizer shippedLocalizer(const QLocale& locale) {
    return localizer(shippedTexts(locale));
}

} // namespace ui
