#pragma once

#include <QLoggingCategory>

namespace DewlightPlatform {

// The "system" category of the application's log.
const QLoggingCategory& systemLog();

} // namespace DewlightPlatform
