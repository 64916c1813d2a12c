#pragma once

#include "platform/events/SystemEvent.h"

#include <QObject>

namespace DewlightPlatform {

// Where system events come from. `occurred` is emitted at once, inside whatever noticed the
// event; receivers defer their work themselves. The live set watches the machine; the local set
// lets tests post events.
class SystemEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SystemEvents() override;

public slots:
    // The identity comes from the persistence layer's token source, not from the machine: the
    // application connects that source's change signal here.
    void reportIdentityChanged();

signals:
    void occurred(DewlightPlatform::SystemEvent event);

protected:
    void report(SystemEvent event);
};

} // namespace DewlightPlatform
