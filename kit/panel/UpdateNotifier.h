#pragma once

#include "kit/panel/AvailableUpdate.h"

#include <QObject>
#include <optional>

namespace KestraUI {

// What the panel needs of whatever finds new versions. Lives on the main thread.
class UpdateNotifier : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~UpdateNotifier() override;

    // The offer to show now, if any; `availableChanged` announces every real change.
    virtual std::optional<AvailableUpdate> available() const = 0;
    // Look for a newer version if a look is due. Returns at once; any result arrives later
    // through `available`.
    virtual void checkIfDue() = 0;
    // The user declined the offer on show: withdraw it, and offer again only a later version.
    virtual void setAside() = 0;

signals:
    void availableChanged();
};

} // namespace KestraUI
