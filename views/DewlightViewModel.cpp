#include "views/DewlightViewModel.h"

#include <utility>

namespace DewlightViews {

DewlightViewModel::DewlightViewModel(RozivPanelState panel, RozivPreferencesState preferences,
                                     RozivWelcomeState welcome, QObject* parent)
    : QObject(parent), panel_(std::move(panel)), preferences_(std::move(preferences)),
      welcome_(std::move(welcome)) {}

DewlightViewModel::~DewlightViewModel() = default;

bool DewlightViewModel::publishPanel(RozivPanelState panel) {
    if (panel == panel_)
        return false;
    panel_ = std::move(panel);
    emit panelChanged();
    return true;
}

bool DewlightViewModel::publishPreferences(RozivPreferencesState preferences) {
    if (preferences == preferences_)
        return false;
    preferences_ = std::move(preferences);
    emit preferencesChanged();
    return true;
}

bool DewlightViewModel::publishWelcome(RozivWelcomeState welcome) {
    if (welcome == welcome_)
        return false;
    welcome_ = std::move(welcome);
    emit welcomeChanged();
    return true;
}

} // namespace DewlightViews
