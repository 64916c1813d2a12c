#include "platform/runtime/Log.h"

namespace DewlightPlatform {

const QLoggingCategory& systemLog() {
    static const QLoggingCategory category("dewlight.system");
    return category;
}

const QLoggingCategory& loginLog() {
    static const QLoggingCategory category("dewlight.login");
    return category;
}

const QLoggingCategory& updatesLog() {
    static const QLoggingCategory category("dewlight.updates");
    return category;
}

} // namespace DewlightPlatform
