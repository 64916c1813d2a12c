#pragma once

namespace DewlightApp {

// The window the model asks the router to open next.
enum class RozivDestination { preferences, welcome };

} // namespace DewlightApp
