#pragma once

#include "ui/Environment.h"

#include <gtest/gtest.h>

// Fonts and painting need a QGuiApplication; one is made for the whole test binary, with the UI
// font loaded as the app does at start.
class GuiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static ui::Environment environment();
};
