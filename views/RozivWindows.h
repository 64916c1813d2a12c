#pragma once

#include "ui/Localization.h"
#include "views/RozivWindowRequests.h"

#include <QMetaObject>
#include <QObject>
#include <memory>

namespace KestraUI {
class PreferencesWindow;
class WelcomeStepsWindow;
} // namespace KestraUI

namespace DewlightViews {

// Turns the model's request for a window into an open window. Views and the model never open the
// preferences or the welcome themselves: they set the model's `destination`, and the router
// takes the request on the next turn of the event loop (so of several requests in one turn only
// the last counts), sets it back to none and shows the window, unless the data is unavailable:
// then the request is dropped, not kept for later. Showing a window that is open brings the same
// window back.
//
// The model owns the router; the router holds the model weakly and stops once it is gone. The
// two windows belong to the application and must outlive the router. Main thread only.
class RozivWindows final : public QObject {
    Q_OBJECT

public:
    // `localize` gives the preferences window's title in the user's language; without one the
    // title is the key itself.
    RozivWindows(std::weak_ptr<RozivWindowRequests> model, KestraUI::PreferencesWindow& preferences,
                 KestraUI::WelcomeStepsWindow& welcomeSteps, ui::Localizer localize = {},
                 QObject* parent = nullptr);
    ~RozivWindows() override;
    RozivWindows(const RozivWindows&) = delete;
    RozivWindows& operator=(const RozivWindows&) = delete;

private:
    void destinationChanged();
    // One pass: serves the request standing now, then listens again while the model lives.
    void serve();
    void open();

    std::weak_ptr<RozivWindowRequests> model_;
    KestraUI::PreferencesWindow& preferences_;
    KestraUI::WelcomeStepsWindow& welcomeSteps_;
    ui::Localizer localize_;
    QMetaObject::Connection connection_;
    // Listening for the next change; off from a change until its pass has run, so the pass's own
    // reset and any further change of that turn are not served twice.
    bool listening_ = false;
};

} // namespace DewlightViews
