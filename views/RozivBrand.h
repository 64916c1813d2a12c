#pragma once

#include "kit/brand/KestraBrand.h"

namespace DewlightViews {

// The application's brand, passed by every panel and window to the kit. Made once, on first use.
const KestraUI::KestraBrand& rozivBrand();

} // namespace DewlightViews
