#pragma once

#include "kit/windows/KestraBrand.h"

namespace DewlightViews {

// The application's brand, passed by every panel and window to the kit. Made once, on first use.
const KestraUI::KestraBrand& rozivBrand();

} // namespace DewlightViews
