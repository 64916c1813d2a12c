#include "ui/Localization.h"

namespace ui {

Localizer localizer(DewlightPlatform::Localizer platform) {
    // Shared: the environment is copied at every override, the table need not be.
    auto shared = std::make_shared<const DewlightPlatform::Localizer>(std::move(platform));
    return [shared](const QString& key, const std::vector<TextArgument>& arguments) {
        std::vector<DewlightPlatform::FormatArgument> converted;
        converted.reserve(arguments.size());
        for (const TextArgument& argument : arguments) {
            if (const auto* number = std::get_if<long long>(&argument))
                converted.emplace_back(*number);
            else
                converted.emplace_back(std::get<QString>(argument).toStdString());
        }
        return QString::fromStdString(shared->text(key.toStdString(), converted));
    };
}

Localizer shippedLocalizer(const QLocale& locale) {
    return localizer(DewlightPlatform::Localizer(DewlightPlatform::englishStrings(),
                                                 locale.name().toStdString()));
}

} // namespace ui
