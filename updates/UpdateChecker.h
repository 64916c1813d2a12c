#pragma once

#include "platform/runtime/WeakOwner.h"
#include "platform/storage/UserDefaults.h"
#include "updates/AppVersion.h"
#include "updates/OfferedUpdate.h"
#include "updates/UpdateFeed.h"
#include "updates/UpdateSchedule.h"

#include <QObject>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace DewlightUpdates {

struct UpdateManifest;
enum class UpdateFailure;

// Decides when to look for a newer version, reads the manifest through its feed, remembers the
// answer across launches in the defaults, and offers at most one version. The application shows
// the offer in the panel through an adapter (app/UpdateNotifierAdapter.h). Confined to the main
// thread.
class UpdateChecker final : public QObject {
    Q_OBJECT

public:
    // `app` is the application's identifier in the manifest: ASCII lowercase letters and digits
    // only (anything else stops the process). `current` is the running version text; without
    // a readable one the checker never looks and never offers. `now` gives seconds since
    // 2001-01-01 UTC.
    UpdateChecker(std::string app, std::optional<std::string> current,
                  std::shared_ptr<UpdateFeed> feed, DewlightPlatform::UserDefaults& defaults,
                  std::function<double()> now, QObject* parent = nullptr);

    // The offer to show now, if any; `availableChanged` announces every real change.
    std::optional<OfferedUpdate> available() const { return available_; }
    // Starts a look when one is due and none is running. Returns at once; the result is
    // applied on a later turn of the event loop.
    void checkIfDue();
    // Declines the published version for good; a later one is offered again.
    void setAside();

    // The site's "/downloads/<app>-latest.dmg".
    QUrl downloadURL() const;

signals:
    void availableChanged();

private:
    QCoro::Task<> runCheck();
    void handleFailure(UpdateFailure failure);
    void handleManifest(const UpdateManifest& manifest);
    void refreshAvailable();
    void setAvailable(std::optional<OfferedUpdate> offer);

    std::optional<OfferedUpdate> available_;
    std::string app_;
    std::optional<AppVersion> current_;
    std::shared_ptr<UpdateFeed> feed_;
    DewlightPlatform::UserDefaults& defaults_;
    std::function<double()> now_;
    UpdateSchedule::Last last_;
    bool checking_ = false;
    std::optional<AppVersion> published_;
    DewlightPlatform::WeakOwner<UpdateChecker> self_{this};
};

} // namespace DewlightUpdates
