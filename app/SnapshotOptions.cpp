#include "app/SnapshotOptions.h"

#include "kit/brand/KestraSnapshot.h"
#include "views/SettingsCard.h"
#include "views/WelcomeView.h"

#include <charconv>

namespace DewlightApp {

namespace Snapshot = KestraUI::KestraSnapshot;

std::optional<ui::ColorScheme> SnapshotOptions::appearance(const QStringList& arguments) {
    const std::optional<QString> value =
        Snapshot::value(arguments, QStringLiteral("--snapshot-appearance"));
    if (value == u"dark")
        return ui::ColorScheme::dark;
    if (value == u"light")
        return ui::ColorScheme::light;
    return std::nullopt;
}

std::optional<QString> SnapshotOptions::output(const QStringList& arguments) {
    return Snapshot::value(arguments, QStringLiteral("--snapshot-file"));
}

int SnapshotOptions::welcomeStep(const QStringList& arguments) {
    const QByteArray text = Snapshot::value(arguments, QStringLiteral("--snapshot-step"))
                                .value_or(QString())
                                .toLatin1();
    const char* first = text.constData();
    const char* last = first + text.size();
    // from_chars takes a "-" but not a "+"; a lone sign is no integer.
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    int step = 0;
    const auto [end, error] = std::from_chars(first, last, step);
    if (text.isEmpty() || error != std::errc() || end != last)
        return 1;
    return step;
}

std::optional<SnapshotView> SnapshotOptions::makeView(DewlightViews::DewlightViewModel& model,
                                                      std::optional<ui::ColorScheme> appearance,
                                                      const QStringList& arguments) {
    if (Snapshot::contains(arguments, QStringLiteral("--snapshot-welcome")))
        return SnapshotView{
            withAppearance(DewlightViews::WelcomeView(model, welcomeStep(arguments)), appearance),
            windowWidth};
    if (Snapshot::contains(arguments, QStringLiteral("--snapshot-preferences")))
        return SnapshotView{withAppearance(DewlightViews::SettingsCard(model), appearance),
                            windowWidth};
    return std::nullopt;
}

ui::Node withAppearance(ui::Node view, std::optional<ui::ColorScheme> appearance) {
    if (!appearance)
        return view;
    return view.environment([scheme = *appearance](ui::Environment& env) { env.scheme = scheme; });
}

} // namespace DewlightApp
