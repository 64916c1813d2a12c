#include "app/IdentityEvents.h"

#include "platform/events/SystemEvents.h"
#include "platform/storage/IdentityTokenSource.h"

namespace DewlightApp {

QMetaObject::Connection reportIdentityChanges(DewlightPlatform::IdentityTokenSource& tokens,
                                              DewlightPlatform::SystemEvents& events) {
    return QObject::connect(&tokens, &DewlightPlatform::IdentityTokenSource::identityChanged,
                            &events, &DewlightPlatform::SystemEvents::reportIdentityChanged);
}

} // namespace DewlightApp
