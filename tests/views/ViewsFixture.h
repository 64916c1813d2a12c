#pragma once

#include "tests/kit/panel/KitFixture.h"
#include "tests/support/RecordingViewModel.h"
#include "tests/support/ViewStatePrinting.h"
#include "ui/AccessibilityTree.h"
#include "views/RozivViewState.h"

#include <QStringList>
#include <memory>

// Tests of the app views: laid out bare, painted, or shown in a window host and driven with
// keys and clicks. Times are New York's and numbers US English; without the shipped table a text
// shows its key with the arguments filled in, so tests read keys.
class ViewsTest : public KitTest {
public:
    static constexpr const char* zone = "America/New_York";
    static constexpr double panelWidth = 368;

    // Keys filled in, no table.
    static ui::Environment keyed(ui::ColorScheme scheme = ui::ColorScheme::light);
    // The shipped English texts, as the application shows them.
    static ui::Environment shipped(ui::ColorScheme scheme = ui::ColorScheme::light);
    static ui::Layout lay(const ui::Node& view, const ui::Environment& env,
                          double width = panelWidth) {
        return ui::Layout(view, env, {width, std::nullopt});
    }
    // A shown window of the panel's width (or `width`), as tall as `view` needs.
    static std::unique_ptr<ui::Host> window(ui::Host::View view, const ui::Environment& env,
                                            double width = panelWidth);

    // The texts shown at or under `element`, in tree order.
    static QStringList shownTexts(const ui::Element& element);
    // Whether the element carrying `id` shows `text` anywhere inside it.
    static bool shows(const ui::Layout& layout, const QString& id, const QString& text);
    // The accessibility element whose label is `label`, or none.
    static const ui::AccessibleNode* accessible(const std::vector<ui::AccessibleNode>& tree,
                                                const QString& label);

    // A panel state with every field set to something plain: scheduled at 14:05 New York time on
    // 2026-10-23, reminders on, recording allowed, no undo, range 3–5, stored on the sync folder.
    static DewlightViews::RozivPanelState plainState();
    // Working hours 09:00–18:00 Monday to Friday, 250 ml glasses every 60 minutes, range 3–5.
    static DewlightViews::RozivPreferencesState plainPreferences();
    static DewlightViews::Date at(int hour, int minute, int day = 23);
};
