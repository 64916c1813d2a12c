#include "platform/runtime/Log.h"

namespace DewlightPlatform {

const QLoggingCategory& systemLog() {
    static const QLoggingCategory category("dewlight.system");
    return category;
}

} // namespace DewlightPlatform
