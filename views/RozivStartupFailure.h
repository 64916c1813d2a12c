#pragma once

#include "ui/Node.h"

#include <QString>
#include <functional>

namespace DewlightViews {

// Shown in the panel's place when the application cannot work with its data: it says so,
// promises that nothing stored is lost, and offers "Try again", which calls `retry` on every
// press. 368 wide like the panel; longer translations wrap onto more lines.
struct RozivStartupFailure {
    std::function<void()> retry;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// Identities of the view's parts, for tests.
namespace StartupFailurePart {
inline const QString retry = QStringLiteral("dewlight.startupFailure.retry");
} // namespace StartupFailurePart

} // namespace DewlightViews
