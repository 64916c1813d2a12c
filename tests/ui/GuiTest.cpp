#include "GuiTest.h"

#include "ui/Font.h"
#include "ui/SymbolCatalogue.h"

void GuiTest::SetUpTestSuite() {
    static const bool loaded = ui::loadUiFonts();
    ASSERT_TRUE(loaded);
}

ui::Environment GuiTest::environment() {
    ui::Environment env;
    env.symbols = std::make_shared<ui::SymbolCatalogue>();
    return env;
}

// Fontconfig keeps the patterns of fonts added at run time until the process ends; those are
// not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
