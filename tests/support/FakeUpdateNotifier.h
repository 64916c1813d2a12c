#pragma once

#include "kit/panel/UpdateNotifier.h"

// An update notifier the test drives: it counts the panel's calls and offers what the test sets.
class FakeUpdateNotifier final : public KestraUI::UpdateNotifier {
public:
    std::optional<KestraUI::AvailableUpdate> available() const override { return offer; }
    void checkIfDue() override { ++checks; }
    void setAside() override {
        ++setAsides;
        publish(std::nullopt);
    }

    // A new offer, announced when it differs, as a live notifier does on the main thread.
    void publish(std::optional<KestraUI::AvailableUpdate> next) {
        if (next == offer)
            return;
        offer = std::move(next);
        emit availableChanged();
    }

    std::optional<KestraUI::AvailableUpdate> offer;
    int checks = 0;
    int setAsides = 0;
};
