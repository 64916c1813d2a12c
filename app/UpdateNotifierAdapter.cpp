#include "app/UpdateNotifierAdapter.h"

namespace DewlightApp {

UpdateNotifierAdapter::UpdateNotifierAdapter(
    std::unique_ptr<DewlightUpdates::UpdateChecker> checker, QObject* parent)
    : KestraUI::UpdateNotifier(parent), checker_(std::move(checker)) {
    connect(checker_.get(), &DewlightUpdates::UpdateChecker::availableChanged, this,
            &KestraUI::UpdateNotifier::availableChanged);
}

UpdateNotifierAdapter::~UpdateNotifierAdapter() = default;

std::optional<KestraUI::AvailableUpdate> UpdateNotifierAdapter::available() const {
    const auto offered = checker_->available();
    if (!offered)
        return std::nullopt;
    return KestraUI::AvailableUpdate{offered->version, offered->download};
}

void UpdateNotifierAdapter::checkIfDue() {
    checker_->checkIfDue();
}

void UpdateNotifierAdapter::setAside() {
    checker_->setAside();
}

} // namespace DewlightApp
