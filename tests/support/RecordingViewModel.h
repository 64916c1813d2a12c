#pragma once

#include "views/DewlightViewModel.h"

#include <vector>

namespace DewlightTest {

// A view model the test drives: it publishes the panel the test gives it and keeps every action
// a view sends, in order, without acting on any.
class RecordingViewModel final : public DewlightViews::DewlightViewModel {
public:
    explicit RecordingViewModel(DewlightViews::RozivPanelState panel = {},
                                DewlightViews::RozivPreferencesState preferences = {},
                                DewlightViews::RozivWelcomeState welcome = {})
        : DewlightViewModel(std::move(panel), std::move(preferences), std::move(welcome)) {}

    void send(const DewlightViews::RozivViewAction& action) override { sent.push_back(action); }

    // Publishes as a live model does: the views hear of it only when the value differs.
    bool publish(DewlightViews::RozivPanelState panel) { return publishPanel(std::move(panel)); }
    bool publish(DewlightViews::RozivPreferencesState preferences) {
        return publishPreferences(std::move(preferences));
    }
    bool publish(DewlightViews::RozivWelcomeState welcome) {
        return publishWelcome(std::move(welcome));
    }

    // The kinds of the actions sent so far.
    std::vector<DewlightViews::RozivViewAction::Kind> kinds() const {
        std::vector<DewlightViews::RozivViewAction::Kind> out;
        for (const auto& action : sent)
            out.push_back(action.kind());
        return out;
    }

    std::vector<DewlightViews::RozivViewAction> sent;
};

} // namespace DewlightTest
