// Gives a test binary the QCoreApplication its event loop needs, for the whole run.
#include "tests/support/TestApplication.h"

namespace {
[[maybe_unused]] const bool added = DewlightTest::addApplication<QCoreApplication>();
} // namespace
