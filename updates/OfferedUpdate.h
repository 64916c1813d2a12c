#pragma once

#include <QString>
#include <QUrl>

namespace DewlightUpdates {

// The version the checker offers: its text, shown unchanged, and the link to download it.
struct OfferedUpdate {
    QString version;
    QUrl download;

    bool operator==(const OfferedUpdate&) const = default;
};

} // namespace DewlightUpdates
