#pragma once

// The card that offers a newer version, and the sample notifier snapshot mode shows it with.

#include "kit/panel/AvailableUpdate.h"
#include "kit/panel/UpdateNotifier.h"
#include "kit/brand/KestraBrand.h"
#include "ui/Environment.h"
#include "ui/Node.h"

#include <QPointer>
#include <QUrl>
#include <functional>
#include <optional>

namespace KestraUI {

// The notifier the panel takes its offer from: the application installs its live one at the
// root of the panel's tree; none by default and in snapshot mode.
inline const ui::EnvironmentKey<QPointer<UpdateNotifier>> UpdateNotifierKey{nullptr};
// Opens a link; by default in the desktop's browser. Tests and snapshot mode replace it.
using OpenURL = std::function<void(const QUrl&)>;
extern const ui::EnvironmentKey<OpenURL> OpenURLKey;

// A fixed offer of version "1.1" for snapshot pictures; "Not now" withdraws it for good.
class SampleUpdateNotifier final : public UpdateNotifier {
    Q_OBJECT

public:
    explicit SampleUpdateNotifier(QObject* parent = nullptr);
    ~SampleUpdateNotifier() override;

    // The offer it starts with: "1.1" from the maker's downloads folder.
    static AvailableUpdate sampleOffer();

    std::optional<AvailableUpdate> available() const override { return available_; }
    // Announces only a real change.
    void setAvailable(std::optional<AvailableUpdate> offer);
    void checkIfDue() override {}
    void setAside() override { setAvailable(std::nullopt); }

private:
    std::optional<AvailableUpdate> available_;
};

// The card that offers a newer version: "Version … is here", how to install it, and the buttons
// "Download" (opens the link through OpenURLKey and leaves the offer in place) and "Not now"
// (calls `setAside`).
ui::Node UpdateCard(const KestraBrand& brand, AvailableUpdate update,
                    std::function<void()> setAside);

} // namespace KestraUI
