#pragma once

#include <QByteArray>
#include <qcoro/qcorotask.h>

namespace DewlightUpdates {

// Where the versions manifest comes from. `fetch` gives the raw body and throws only
// UpdateFailureError (unreachable or unreadable); it neither decodes nor interprets the bytes.
class UpdateFeed {
public:
    virtual ~UpdateFeed() = default;
    virtual QCoro::Task<QByteArray> fetch() = 0;
};

} // namespace DewlightUpdates
