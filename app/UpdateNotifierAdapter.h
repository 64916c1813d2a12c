#pragma once

#include "kit/panel/UpdateNotifier.h"
#include "updates/UpdateChecker.h"

#include <memory>

namespace DewlightApp {

// The panel's update notifier over the update checker. The kit and the checker know nothing of
// each other: the panel reads the checker's offer in its own type, its calls reach the checker,
// and every change of the checker's offer is announced once.
class UpdateNotifierAdapter final : public KestraUI::UpdateNotifier {
public:
    explicit UpdateNotifierAdapter(std::unique_ptr<DewlightUpdates::UpdateChecker> checker,
                                   QObject* parent = nullptr);
    ~UpdateNotifierAdapter() override;

    std::optional<KestraUI::AvailableUpdate> available() const override;
    void checkIfDue() override;
    void setAside() override;

    DewlightUpdates::UpdateChecker& checker() const { return *checker_; }

private:
    std::unique_ptr<DewlightUpdates::UpdateChecker> checker_;
};

} // namespace DewlightApp
