#pragma once

#include "core/Date.h"
#include "core/RozivSettings.h"

#include <optional>

namespace DewlightApp {

// When the model must look again without any input: the next confirmed reminder, the end of the
// working window we are in, or the start of the next one, whichever comes first after `now`.
// None when nothing lies ahead (no confirmed reminder and no working window within the search).
std::optional<DewlightCore::Date> boundaryInstant(DewlightCore::Date now,
                                                  std::optional<DewlightCore::Date> confirmedNext,
                                                  const DewlightCore::RozivSettings& settings,
                                                  const DewlightCore::Calendar& calendar);

// How long the boundary timer sleeps for `instant` seen at `now`: never less than 0.1 s, so an
// instant just passed (or a difference that is not a number) cannot spin the model.
double boundarySleep(DewlightCore::Date instant, DewlightCore::Date now);

} // namespace DewlightApp
