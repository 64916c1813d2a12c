#pragma once

#include <QMetaObject>

namespace DewlightPlatform {
class IdentityTokenSource;
class SystemEvents;
} // namespace DewlightPlatform

namespace DewlightApp {

// Makes a new sync account, or none, reach the model as the identity-changed event. The
// services of a run wire this once, for every model built over them.
QMetaObject::Connection reportIdentityChanges(DewlightPlatform::IdentityTokenSource& tokens,
                                              DewlightPlatform::SystemEvents& events);

} // namespace DewlightApp
