#pragma once

#include "platform/localization/Localizer.h"
#include "ui/Environment.h"

#include <QLocale>

namespace ui {

// The environment's localizer over a platform localizer: keys, plural forms and placeholders
// exactly as the platform table gives them.
Localizer localizer(DewlightPlatform::Localizer platform);

// The shipped English texts with the plural rules that fit `locale`: what the application,
// snapshot mode and tests install in the root environment.
Localizer shippedLocalizer(const QLocale& locale);

} // namespace ui
