// Gives a test binary the QGuiApplication that fonts and painting need, for the whole run. A
// binary that makes widgets is built with DEWLIGHT_TEST_WIDGETS and gets a QApplication, which
// widgets need.
#include "tests/support/TestApplication.h"

#ifdef DEWLIGHT_TEST_WIDGETS
#include <QApplication>
using GuiApplication = QApplication;
#else
#include <QGuiApplication>
using GuiApplication = QGuiApplication;
#endif

namespace {
[[maybe_unused]] const bool added = DewlightTest::addApplication<GuiApplication>();
} // namespace
