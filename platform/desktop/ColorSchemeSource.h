#pragma once

#include <QObject>
#include <QPalette>
#include <optional>

namespace DewlightPlatform {

enum class DesktopScheme { light, dark };

// The desktop's light or dark preference, followed while the application runs.
class ColorSchemeSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual DesktopScheme scheme() const = 0;

signals:
    // Only on a real change.
    void schemeChanged(DewlightPlatform::DesktopScheme scheme);
};

// The portal's org.freedesktop.appearance color-scheme value (1 prefers dark, 2 prefers light,
// 0 or anything else states no preference) decides; without a preference the palette does: a
// dark window colour means a dark scheme.
DesktopScheme resolveScheme(std::optional<quint32> portalValue, const QPalette& palette);

// A preference the tests set.
class LocalColorScheme final : public ColorSchemeSource {
    Q_OBJECT
public:
    explicit LocalColorScheme(DesktopScheme scheme = DesktopScheme::light) : scheme_(scheme) {}
    DesktopScheme scheme() const override { return scheme_; }
    void setScheme(DesktopScheme scheme) {
        if (scheme_ == scheme)
            return;
        scheme_ = scheme;
        emit schemeChanged(scheme);
    }

private:
    DesktopScheme scheme_;
};

} // namespace DewlightPlatform
