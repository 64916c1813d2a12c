#pragma once

#include <QString>
#include <QUrl>

namespace KestraUI {

// A newer version on offer: its text, shown unchanged, and the link "Download" opens.
struct AvailableUpdate {
    QString version;
    QUrl download;

    bool operator==(const AvailableUpdate&) const = default;
};

} // namespace KestraUI
