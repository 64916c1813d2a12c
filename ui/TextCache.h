#pragma once

#include "ui/Element.h"

#include <QHash>
#include <QString>

namespace ui {

// Text sets kept across layout passes: a window lays out the same texts again on every change,
// and shaping is most of a pass. Bounded; cleared whole when full.
class TextCache {
public:
    explicit TextCache(qsizetype capacity = 4096) : capacity_(capacity) {}

    const TextFit* find(const QString& key) const {
        const auto found = fits_.constFind(key);
        return found == fits_.constEnd() ? nullptr : &found.value();
    }
    void insert(const QString& key, TextFit fit) {
        if (fits_.size() >= capacity_)
            fits_.clear();
        fits_.insert(key, std::move(fit));
    }

private:
    qsizetype capacity_;
    QHash<QString, TextFit> fits_;
};

} // namespace ui
