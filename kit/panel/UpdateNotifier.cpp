#include "kit/panel/UpdateNotifier.h"

namespace KestraUI {

UpdateNotifier::~UpdateNotifier() = default;

} // namespace KestraUI
