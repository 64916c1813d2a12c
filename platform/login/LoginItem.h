#pragma once

#include "platform/login/LoginItemService.h"

#include <QObject>
#include <memory>

namespace DewlightPlatform {

// The "Open at Login" switch of the process: registers the application with the login items
// service or removes it, and publishes whether it is registered. `enabled` only ever holds what
// the service reports, never the state asked for, so a caller learns the outcome of a change by
// reading it afterwards. Made once by the application and passed to whoever needs it; lives on
// the main thread.
class LoginItem final : public QObject {
    Q_OBJECT

public:
    explicit LoginItem(std::unique_ptr<LoginItemService> service, QObject* parent = nullptr);
    ~LoginItem() override;

    bool enabled() const { return enabled_; }

    // Asks the service for the wanted state, even when it already holds. A refusal is logged
    // ("login item change failed: …", category dewlight.login), never thrown; in every case
    // `enabled` is then read back from the service.
    void setEnabled(bool wanted);
    // Reads the service's status again (the user may have changed it outside the app).
    void refresh();

signals:
    // Only on a real change.
    void enabledChanged(bool enabled);

private:
    void store(bool enabled);

    std::unique_ptr<LoginItemService> service_;
    bool enabled_ = false;
};

} // namespace DewlightPlatform
