#include "views/RozivCounter.h"

#include "kit/panel/Keys.h"
#include "kit/panel/PanelActionRow.h"
#include "kit/panel/Rows.h"
#include "kit/windows/BrandPalette.h"
#include "kit/windows/KestraFont.h"
#include "ui/NodeImpl.h"
#include "ui/SymbolCatalogue.h"
#include "views/RozivBrand.h"
#include "views/RozivFormat.h"
#include "views/RozivPanelTexts.h"

#include <algorithm>
#include <cmath>

namespace DewlightViews {

using KestraUI::KestraFont;
using KestraUI::Text;

namespace {

constexpr std::size_t dropsPerRow = 6;
constexpr double dropSpacing = 8;
// A drop is a symbol at the large image scale: a third bigger than a symbol set beside text of
// its font, which is 1.2 times the font's size.
constexpr double dropScale = 1.2 * 1.3;

// Draws the outline symbol over the empty upper part and the filled one over the lower part,
// each cut to its share of the drop's height.
class DropNode final : public ui::NodeImpl {
public:
    explicit DropNode(double fill) : fill_(std::clamp(fill, 0.0, 1.0)) {}

    void build(ui::Element& self) const override {
        self.font = self.env().font.qfont(self.env().typeSize);
        const double side = std::round(self.font.pixelSize() * dropScale);
        self.intrinsic = ui::Dimensions{QSizeF(side, side), std::nullopt};
    }
    ui::Dimensions measure(const ui::Element& self, const ui::ProposedSize&) const override {
        return *self.intrinsic;
    }
    void paint(QPainter& painter, const ui::Element& self) const override {
        const ui::Environment& env = self.env();
        if (!env.symbols)
            return;
        const QColor colour = env.foreground.resolve(env);
        const QRectF frame = self.frame;
        const double split = frame.top() + frame.height() * (1 - fill_);
        painter.save();
        painter.setClipRect(QRectF(frame.left(), frame.top(), frame.width(), split - frame.top()));
        env.symbols->draw(painter, QStringLiteral("drop"), frame, colour);
        painter.setClipRect(QRectF(frame.left(), split, frame.width(), frame.bottom() - split));
        env.symbols->draw(painter, QStringLiteral("drop.fill"), frame, colour);
        painter.restore();
    }

private:
    double fill_;
};

ui::Animation quartersAnimation() {
    return ui::Animation::spring(0.5, 1.0);
}

// What one row adds for the undo group: its click count when the group is of the row's kind.
std::int64_t groupAddition(const RozivPanelState& state, RozivUndoState::Drink drink) {
    return state.undo && state.undo->drink == drink ? state.groupedAddition : 0;
}

struct DrinkRow {
    Text title;
    ui::SymbolName symbol;
    bool isSuggested = false;
    std::optional<Text> hint = std::nullopt;
    RozivViewAction action;
    QString key; // the key cap, shown verbatim
    Qt::Key shortcut;
    std::int64_t addition = 0;
};

ui::Node drinkRow(const RozivPanelState& state, const RozivSend& send, DrinkRow row) {
    const bool disabled = !state.canRecord;
    std::optional<Text> badge, value;
    if (row.addition >= 1) {
        // verbatim: a count, never looked up
        badge = Text::verbatim(QStringLiteral("+") + QString::number(row.addition));
        value =
            Text(QStringLiteral("%lld grouped entries"), {static_cast<long long>(row.addition)});
    }
    return ui::Node(KestraUI::PanelActionRow{
                        .title = std::move(row.title),
                        .symbol = row.symbol,
                        .brand = rozivBrand(),
                        .isDisabled = disabled,
                        .isSuggested = row.isSuggested,
                        .badge = std::move(badge),
                        .value = std::move(value),
                        .hint = std::move(row.hint),
                        .perform = [send, action = row.action] { send(action); },
                        .trailing = KestraUI::PanelShortcutKeys{.keys = {row.key},
                                                                .brand = rozivBrand(),
                                                                .isDisabled = disabled}})
        .keyboardShortcut(QKeyCombination(row.shortcut));
}

ui::Node undoRow(const RozivPanelState& state, const RozivSend& send, const RozivFormat& format,
                 const ui::Environment& env) {
    const bool disabled = !state.undo;
    // verbatim: key caps are shown as they are; Ctrl stands for the Command key.
    std::vector<QString> keys{QStringLiteral("Ctrl"), QStringLiteral("Z")};
    return ui::Node(KestraUI::PanelActionRow{
                        .title = KestraUI::Text(undoTitle(state.undo, format, env.localizing())),
                        .symbol = "arrow.uturn.backward",
                        .brand = rozivBrand(),
                        .isDisabled = disabled,
                        .perform = [send] { send(RozivViewAction::undo()); },
                        .trailing = KestraUI::PanelShortcutKeys{.keys = std::move(keys),
                                                                .brand = rozivBrand(),
                                                                .isDisabled = disabled}})
        .keyboardShortcut(QKeyCombination(Qt::ControlModifier, Qt::Key_Z));
}

ui::Node dropGrid(double quarters, std::int64_t upperRange) {
    std::vector<ui::Node> rows;
    std::size_t index = 0;
    for (const auto& fills : dropRows(quarters, upperRange)) {
        std::vector<ui::Node> drops;
        for (const double fill : fills)
            drops.push_back(ui::Node(RozivDrop{fill}).id(CounterPart::drop(index++)));
        rows.push_back(ui::hstack(std::move(drops), ui::VerticalAlignment::center, dropSpacing));
    }
    return ui::vstack(std::move(rows), ui::HorizontalAlignment::leading, dropSpacing);
}

// The count, the drops and the context line, drawn for `shown` quarters while the count moves.
// Assistive technology is told the count the state holds at once: the values passed on the way
// there were never drunk.
ui::Node header(const RozivPanelState& state, const RozivFormat& format, const ui::Environment& env,
                double shown) {
    const ui::LocalizedText count = format.countText(std::llround(shown));
    const QString spoken = format.countText(state.quarters).localized(env.localizing());
    ui::Node grid = dropGrid(shown, state.upperRange)
                        .padding(ui::EdgeInsets::vertical(4))
                        .accessibility({.label = spoken, .ignoreChildren = true});
    if (!env.reduceMotion)
        grid = grid.bounceEffect(state.feedbackRevision);

    const ui::LocalizedText context = contextLine(state, format);
    ui::Node line = KestraUI::Text(context).node().fixedSize(false, true);
    line = state.moment
               ? line.font(font(KestraFont::detailSemibold))
               : line.font(font(KestraFont::detail)).foreground(KestraUI::BrandPalette::muted);

    return ui::vstack({KestraUI::Text(count)
                           .node()
                           .font(font(KestraFont::heading).withMonospacedDigits())
                           .accessibility({.label = spoken})
                           .id(CounterPart::count),
                       grid.id(CounterPart::drops), line.id(CounterPart::context)},
                      ui::HorizontalAlignment::leading, 4)
        .padding(ui::EdgeInsets{0, 8, 8, 8});
}

} // namespace

std::vector<std::vector<double>> dropRows(double quarters, std::int64_t upperRange) {
    const std::size_t count = std::size_t(std::max<std::int64_t>(upperRange, 1));
    std::vector<std::vector<double>> rows;
    for (std::size_t i = 0; i < count; ++i) {
        if (i % dropsPerRow == 0)
            rows.emplace_back();
        rows.back().push_back(std::clamp(quarters - 4.0 * double(i), 0.0, 4.0) * 0.25);
    }
    return rows;
}

ui::Node RozivDrop::body() const {
    return ui::Node(std::make_shared<DropNode>(fill))
        .foreground(KestraUI::BrandPalette::muted)
        .font(font(KestraFont::heading))
        .accessibilityHidden();
}

ui::Node RozivCounter::body() const {
    return ui::withEnvironment([state = state, send = send](const ui::Environment& env) {
        const auto calendar = calendarOf(env);
        // Shared by the header, which may be built again on each frame while the count moves.
        const auto format = std::make_shared<const RozivFormat>(env.locale, *calendar);
        ui::Node top;
        if (env.reduceMotion)
            top = header(state, *format, env, double(state.quarters));
        else
            top = ui::animatedNumber(
                double(state.quarters), quartersAnimation(),
                [state, format, env](double shown) { return header(state, *format, env, shown); });

        // The alignment feedback on each new drink has no counterpart on a Linux desktop: no
        // haptics, so nothing is sent for it.
        using Drink = RozivUndoState::Drink;
        return KestraUI::PanelCard(
            8,
            {top,
             drinkRow(state, send,
                      {.title = QStringLiteral("A glass"),
                       .symbol = "drop",
                       .isSuggested = state.highlightsGlass,
                       .hint = state.highlightsGlass
                                   ? std::optional<Text>(QStringLiteral("A good time for a glass"))
                                   : std::nullopt,
                       .action = RozivViewAction::drinkGlass(),
                       .key = QStringLiteral("G"), // verbatim: a key cap
                       .shortcut = Qt::Key_G,
                       .addition = groupAddition(state, Drink::glass)})
                 .id(CounterPart::glass),
             drinkRow(state, send,
                      {.title = QStringLiteral("A sip"),
                       .symbol = "drop.halffull",
                       .action = RozivViewAction::drinkSip(),
                       .key = QStringLiteral("S"), // verbatim: a key cap
                       .shortcut = Qt::Key_S,
                       .addition = groupAddition(state, Drink::sip)})
                 .id(CounterPart::sip),
             undoRow(state, send, *format, env).id(CounterPart::undo)});
    });
}

} // namespace DewlightViews
