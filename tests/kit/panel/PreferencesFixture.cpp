#include "PreferencesFixture.h"

#include "kit/panel/FocusRing.h"
#include "ui/TreeQuery.h"

ui::Layout PreferencesTest::layout(const ui::Node& view, double width) {
    return layout(view, width, environment());
}

ui::Layout PreferencesTest::layout(const ui::Node& view, double width, const ui::Environment& env) {
    return ui::Layout(view, env, ui::ProposedSize{width, std::nullopt});
}

const ui::Element* PreferencesTest::textElement(const ui::Element& root, const QString& text) {
    const ui::Element* found = nullptr;
    ui::visit(root, [&](const ui::Element& e) {
        if (!found && e.children.empty() && e.text == text)
            found = &e;
    });
    return found;
}

std::vector<const ui::Element*> PreferencesTest::rings(const ui::Element& root) {
    std::vector<const ui::Element*> found;
    ui::visit(root, [&](const ui::Element& e) {
        if (e.explicitId == QLatin1String(KestraUI::focusRingId))
            found.push_back(&e);
    });
    return found;
}

ui::Node PreferencesTest::inWindow(ui::Node view) {
    return ui::withEnvironment([view](const ui::Environment& env) {
        return KestraUI::keyboardUsed(view, env.keyboardUsed);
    });
}
