// Pictures of the panel frame around sample content, at scale 2 in both schemes, compared with
// their references.
#include "KitFixture.h"
#include "PanelSample.h"
#include "kit/panel/InlineNotice.h"
#include "kit/panel/Keys.h"
#include "kit/panel/NoticeCard.h"
#include "kit/panel/PanelActionRow.h"
#include "kit/panel/Rows.h"
#include "kit/panel/UpdateCard.h"
#include "kit/windows/KestraFont.h"
#include "tests/support/FakeUpdateNotifier.h"
#include "tests/support/PictureReference.h"
#include "ui/Controls.h"
#include "ui/Localization.h"

using namespace KestraUI;
using namespace PanelSample;

namespace {

ui::Node pictureContent() {
    const auto row = [](Text title, ui::SymbolName symbol, std::vector<QString> keys,
                        bool suggested, std::optional<Text> badge) {
        return ui::Node(
            PanelActionRow{.title = std::move(title),
                           .symbol = symbol,
                           .brand = brand,
                           .isSuggested = suggested,
                           .badge = std::move(badge),
                           .perform = [] {},
                           .trailing = PanelShortcutKeys{.keys = std::move(keys), .brand = brand}});
    };
    return ui::vstack({InlineNotice(NoticeKind::info, "Reminders start at 9:00 AM tomorrow."),
                       NoticeCard("exclamationmark.triangle", "Notifications are off",
                                  "Turn them on in Settings so that reminders can reach you.",
                                  {ui::button(ui::text("Open Settings"), [] {})}),
                       PanelCard(4, {ui::verbatim("3 glasses").font(font(KestraFont::readout)),
                                     row("A glass", "drop.fill", {"G"}, true, std::nullopt),
                                     row("A sip", "drop.halffull", {"S"}, false, std::nullopt),
                                     row("Undo", "arrow.uturn.backward", {"Ctrl", "Z"}, false,
                                         Text::verbatim("×2"))})},
                      ui::HorizontalAlignment::leading, 12);
}

TEST_F(KitTest, PanelPicturesInBothSchemes) {
    FakeUpdateNotifier notifier;
    notifier.publish(offer);
    PanelModel model;
    model.action = PanelFooterAction{
        .symbol = "clock", .title = "History", .badge = Text::verbatim("Beta"), .showsDot = true};
    for (const auto scheme : {ui::ColorScheme::light, ui::ColorScheme::dark}) {
        for (const bool withCard : {false, true}) {
            KestraPanel panel = model.panel();
            panel.content = pictureContent();
            ui::Node view = ui::Node(panel).font(font(KestraFont::detail));
            if (withCard)
                view = view.environment(UpdateNotifierKey, QPointer<UpdateNotifier>(&notifier));
            // Pictures read as the application shows them, in the shipped English texts.
            ui::Environment env = environment(scheme);
            env.localizer = ui::shippedLocalizer(QLocale(QLocale::English, QLocale::UnitedStates));
            const QImage image = ui::render(view, env, 368, 2);
            const ui::Layout laidOut = layout(view, 368, scheme);
            EXPECT_EQ(image.size(), QSize(736, int(std::ceil(laidOut.size().height() * 2))));
            EXPECT_EQ(laidOut.frame(PanelPart::updateCard).isEmpty(), !withCard);
            EXPECT_TRUE(DewlightTest::matchesReference(
                image, QStringLiteral("kit/panel-%1%2@2x")
                           .arg(scheme == ui::ColorScheme::dark ? "dark" : "light",
                                withCard ? "-update" : "")));
        }
    }
}

} // namespace
