#include "views/RozivStartupFailure.h"

#include "kit/brand/KestraFont.h"
#include "kit/brand/KestraMetrics.h"
#include "ui/Controls.h"

namespace DewlightViews {

using KestraUI::KestraFont;
namespace Metrics = KestraUI::KestraMetrics;

ui::Node RozivStartupFailure::body() const {
    return ui::vstack({ui::text(QStringLiteral("Dewlight could not start."))
                           .font(font(KestraFont::heading)),
                       ui::text(QStringLiteral("Try again. Your saved data will stay where it is."))
                           .font(font(KestraFont::detail)),
                       ui::button(ui::text(QStringLiteral("Try again")), retry)
                           .buttonStyle(ui::ButtonStyle::glass)
                           .id(StartupFailurePart::retry)},
                      ui::HorizontalAlignment::leading, Metrics::space16)
        .padding(Metrics::space16)
        .frame(Metrics::panelWidth, std::nullopt);
}

} // namespace DewlightViews
