#include "views/RozivText.h"

#include "platform/localization/Localizer.h"

namespace DewlightViews {

RozivLocalizer localizerFor(std::shared_ptr<const DewlightPlatform::Localizer> localizer) {
    return [localizer = std::move(localizer)](const QString& key,
                                              const std::vector<RozivTextArgument>& arguments) {
        std::vector<DewlightPlatform::FormatArgument> converted;
        converted.reserve(arguments.size());
        for (const auto& argument : arguments) {
            if (const auto* integer = std::get_if<long long>(&argument))
                converted.emplace_back(*integer);
            else
                converted.emplace_back(std::get<QString>(argument).toStdString());
        }
        return QString::fromStdString(localizer->text(key.toStdString(), converted));
    };
}

} // namespace DewlightViews
