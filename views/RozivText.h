#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

namespace DewlightPlatform {
class Localizer;
}

namespace DewlightViews {

// An argument of a localised text: an integer fills "%lld", a text fills "%@". The same types
// as the view layer's own, so that a key and its arguments pass straight into a text node.
using RozivTextArgument = std::variant<long long, QString>;

// Turns a key and its arguments into the text shown; the same signature as the view layer's.
using RozivLocalizer =
    std::function<QString(const QString& key, const std::vector<RozivTextArgument>& arguments)>;

// A localisation key with its arguments, as the views hand it to a text node. Views and tests
// compare keys; the table turns them into words.
struct RozivText {
    QString key;
    std::vector<RozivTextArgument> arguments = {};

    bool operator==(const RozivText&) const = default;

    QString localized(const RozivLocalizer& localizer) const { return localizer(key, arguments); }
};

// The views' localizer over a string table.
RozivLocalizer localizerFor(std::shared_ptr<const DewlightPlatform::Localizer> localizer);

} // namespace DewlightViews
