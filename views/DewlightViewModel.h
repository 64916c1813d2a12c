#pragma once

#include "views/RozivViewState.h"

#include <QObject>

namespace DewlightViews {

// The one way a view reaches a model: it reads the published states and sends actions. The live
// model and the snapshot model both derive from it.
//
// The published states live here so that the rule holds for every model alike: a model replaces
// a state whole through publish…(), and the matching signal fires only when the new value differs
// from the old one. Everything runs on the main thread.
class DewlightViewModel : public QObject {
    Q_OBJECT

public:
    ~DewlightViewModel() override;

    const RozivPanelState& panel() const { return panel_; }
    const RozivPreferencesState& preferences() const { return preferences_; }
    const RozivWelcomeState& welcome() const { return welcome_; }

    // Hands one action to the model and returns at once; the outcome shows only in a later
    // published state. Never throws.
    virtual void send(const RozivViewAction& action) = 0;

signals:
    void panelChanged();
    void preferencesChanged();
    void welcomeChanged();

protected:
    explicit DewlightViewModel(RozivPanelState panel = {}, RozivPreferencesState preferences = {},
                               RozivWelcomeState welcome = {}, QObject* parent = nullptr);

    // Each returns whether the value changed, and announces only then.
    bool publishPanel(RozivPanelState panel);
    bool publishPreferences(RozivPreferencesState preferences);
    bool publishWelcome(RozivWelcomeState welcome);

private:
    RozivPanelState panel_;
    RozivPreferencesState preferences_;
    RozivWelcomeState welcome_;
};

} // namespace DewlightViews
