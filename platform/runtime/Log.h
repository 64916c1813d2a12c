#pragma once

#include <QLoggingCategory>

namespace DewlightPlatform {

// The application's log categories, each declared here alone so that a name is written once.
// "dewlight.system": storage, jobs and the desktop's services.
const QLoggingCategory& systemLog();
// "dewlight.login": the login item.
const QLoggingCategory& loginLog();
// "dewlight.updates": the update check.
const QLoggingCategory& updatesLog();

} // namespace DewlightPlatform
