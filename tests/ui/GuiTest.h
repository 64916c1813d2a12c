#pragma once

#include "ui/Environment.h"

#include <gtest/gtest.h>

// Fonts and painting need the GUI application of tests/support; the UI font is loaded once for
// the run, as the app does at start.
class GuiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static ui::Environment environment();
};
