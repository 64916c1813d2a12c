#include "platform/events/LocalSystemEvents.h"

namespace DewlightPlatform {

LocalSystemEvents::~LocalSystemEvents() = default;

} // namespace DewlightPlatform
