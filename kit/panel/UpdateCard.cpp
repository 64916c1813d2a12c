#include "kit/panel/UpdateCard.h"

#include "kit/panel/KitStyle.h"
#include "kit/brand/BrandPalette.h"
#include "platform/BuildInfo.h"
#include "ui/Controls.h"

#include <QDesktopServices>
#include <string_view>

namespace KestraUI {

const ui::EnvironmentKey<OpenURL> OpenURLKey{
    [](const QUrl& url) { QDesktopServices::openUrl(url); }};

SampleUpdateNotifier::SampleUpdateNotifier(QObject* parent)
    : UpdateNotifier(parent), available_(sampleOffer()) {}

SampleUpdateNotifier::~SampleUpdateNotifier() = default;

AvailableUpdate SampleUpdateNotifier::sampleOffer() {
    // The build's update site when it has one; a reserved example host otherwise.
    const std::string_view site = DewlightPlatform::BuildInfo::updateSite;
    const QString origin = site.empty() ? QStringLiteral("https://example.org")
                                        : QString::fromUtf8(site.data(), qsizetype(site.size()));
    return {QStringLiteral("1.1"), QUrl(origin + QStringLiteral("/downloads/"))};
}

void SampleUpdateNotifier::setAvailable(std::optional<AvailableUpdate> offer) {
    if (offer == available_)
        return;
    available_ = std::move(offer);
    emit availableChanged();
}

ui::Node UpdateCard(const KestraBrand& brand, AvailableUpdate update,
                    std::function<void()> setAside) {
    return ui::withEnvironment([brand, update = std::move(update),
                                setAside = std::move(setAside)](const ui::Environment& env) {
        const OpenURL open = env.value(OpenURLKey);
        ui::Node buttons = ui::hstack({ui::button(ui::text(QStringLiteral("Download")),
                                                  [open, link = update.download] {
                                                      if (open)
                                                          open(link);
                                                  }),
                                       ui::button(ui::text(QStringLiteral("Not now")), setAside)},
                                      ui::VerticalAlignment::center, 8)
                               .buttonStyle(ui::ButtonStyle::bordered)
                               .controlSize(ui::ControlSize::small);
        ui::Node stack = ui::vstack(
            {detail::label(ui::text(QStringLiteral("Version %@ is here"), {update.version}),
                           "arrow.down.circle", detail::accent(brand))
                 .font(font(KestraFont::detailSemibold)),
             ui::text(QStringLiteral("Download it, quit the app and drag the new copy to "
                                     "Applications. Your settings stay."))
                 .font(font(KestraFont::detail))
                 .foreground(BrandPalette::muted)
                 .fixedSize(false, true),
             std::move(buttons)},
            ui::HorizontalAlignment::leading, 8);
        return detail::cardFrame(std::move(stack), BrandPalette::faint);
    });
}

} // namespace KestraUI
