#pragma once

#include <QLocale>
#include <QString>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

namespace DewlightPlatform {
class Localizer;
}

namespace ui {

// An argument of a localised text: integers stand for "%lld", texts for "%@".
using TextArgument = std::variant<long long, QString>;

// Turns a localisation key and its arguments into the text shown.
using Localizer = std::function<QString(const QString& key, const std::vector<TextArgument>&)>;

// A localisation key with its arguments, as views hand it to a text node. Views and tests
// compare keys; the table turns them into words.
struct LocalizedText {
    QString key;
    std::vector<TextArgument> arguments = {};

    bool operator==(const LocalizedText&) const = default;

    QString localized(const Localizer& localizer) const { return localizer(key, arguments); }
};

// Fills the arguments into the key as the table fills a text; what a view shows when no table is
// installed.
QString fillArguments(const QString& key, const std::vector<TextArgument>& arguments);

// `localizer`, or filling the key itself where none is installed.
inline Localizer localizerOrFallback(Localizer localizer) {
    return localizer ? std::move(localizer) : Localizer(&fillArguments);
}

// The localizer over a platform localizer: keys, plural forms and placeholders exactly as the
// platform table gives them. Shared: environments are copied at every override, the table need
// not be.
Localizer localizer(std::shared_ptr<const DewlightPlatform::Localizer> platform);

// The shipped English texts with the plural rules that fit `locale`: one per live run, shared by
// the model and every window.
std::shared_ptr<const DewlightPlatform::Localizer> shippedTexts(const QLocale& locale);

// The same texts as a localizer: what snapshot mode and tests install in the root environment.
Localizer shippedLocalizer(const QLocale& locale);

} // namespace ui
