#include "GuiTest.h"

#include "ui/Font.h"
#include "ui/SymbolCatalogue.h"

#include <QGuiApplication>

void GuiTest::SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        new QGuiApplication(argc, argv); // lives for the process
        ASSERT_TRUE(ui::loadUiFonts());
    }
}

ui::Environment GuiTest::environment() {
    ui::Environment env;
    env.symbols = std::make_shared<ui::SymbolCatalogue>();
    return env;
}

// Fontconfig keeps the patterns of fonts added at run time until the process ends; those are
// not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
