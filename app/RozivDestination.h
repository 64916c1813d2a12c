#pragma once

#include "views/RozivWindowRequests.h"

namespace DewlightApp {

// The window the model asks the router to open next; the views' router reads it too.
using DewlightViews::RozivDestination;

} // namespace DewlightApp
