#pragma once

// Snapshot mode: the application's views over the fixed demonstration model, painted into a PNG
// or shown in a window, without the live services.

#include "kit/brand/KestraBrand.h"
#include "platform/runtime/CancelToken.h"
#include "platform/runtime/Clock.h"
#include "ui/Environment.h"
#include "views/DewlightViewModel.h"

#include <QCoro/QCoroTask>
#include <QLocale>
#include <QStringList>
#include <optional>

namespace DewlightApp {

// How long a snapshot window is given to draw before it is captured.
inline constexpr double snapshotDrawingTime = 0.2;

// The environment snapshot views are painted in: the shipped texts in `locale`, the UI font and
// the symbols, in `scheme`. Times follow the host's zone, as the live panel's do.
ui::Environment snapshotEnvironment(ui::ColorScheme scheme, const QLocale& locale);

// The desktop's scheme, read once: the portal's preference when a session bus answers within a
// short wait, else the palette's.
ui::ColorScheme desktopScheme();

// Shows the snapshot the arguments ask for, with `model`'s fixed data: the welcome view or the
// preferences card, or else the menu panel. Without "--snapshot-file" the window stays up and the
// run ends with none. With it the window is given snapshotDrawingTime to draw, is written as PNG,
// and the run ends with the exit status the process should quit with: 0 after a good write, 1
// after the failure line. A cancelled wait ends with none, writing nothing.
QCoro::Task<std::optional<int>> runSnapshotMode(DewlightViews::DewlightViewModel& model,
                                                QStringList arguments, ui::Environment environment,
                                                KestraUI::KestraBrand brand,
                                                DewlightPlatform::Clock& clock,
                                                DewlightPlatform::CancelToken token);

// The whole snapshot process, from before the application object is made to its exit status:
// no instance lock, no tray icon, no update checker, no reminders, nothing read from or written
// to the user's folders, and no message of Qt's own on standard error.
int snapshotMain(int& argc, char** argv);

} // namespace DewlightApp
