#pragma once

#include "tests/ui/HostFixture.h"
#include "ui/Layout.h"
#include "ui/Node.h"

#include <QString>
#include <vector>

// Layout and interaction tests of the preference pieces, in a host or a bare layout pass.
class PreferencesTest : public HostTest {
protected:
    static ui::Layout layout(const ui::Node& view, double width = 400);
    static ui::Layout layout(const ui::Node& view, double width, const ui::Environment& env);

    // The laid-out text element showing `text`, or none.
    static const ui::Element* textElement(const ui::Element& root, const QString& text);
    // Every focus ring outline in the tree, in tree order.
    static std::vector<const ui::Element*> rings(const ui::Element& root);
    static std::vector<const ui::Element*> rings(const ui::Host& host) {
        return rings(host.layout()->root());
    }
    // What a window chrome does: hands the window's keyboard record to everything inside.
    static ui::Node inWindow(ui::Node view);
};
