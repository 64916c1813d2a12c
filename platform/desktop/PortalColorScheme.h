#pragma once

#include "platform/desktop/ColorSchemeSource.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariant>
#include <cstdint>

namespace DewlightPlatform {

// The colour scheme from the desktop portal (org.freedesktop.portal.Settings on the session
// bus), following its SettingChanged signal and the portal coming and going; the application
// palette stands in while the portal is absent or states no preference, and its changes are
// followed too. Starts from the palette and reads the portal on a later turn.
class PortalColorScheme final : public ColorSchemeSource {
    Q_OBJECT
public:
    explicit PortalColorScheme(QDBusConnection bus);
    ~PortalColorScheme() override;

    DesktopScheme scheme() const override { return scheme_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void onSettingChanged(const QDBusMessage& message);

private:
    void read();
    void update();

    QDBusConnection bus_;
    std::optional<quint32> portalValue_;
    DesktopScheme scheme_;
    std::uint64_t question_ = 0;
};

// The number inside a portal answer, which may come wrapped in one or more variants.
std::optional<quint32> portalNumber(const QVariant& value);

} // namespace DewlightPlatform
