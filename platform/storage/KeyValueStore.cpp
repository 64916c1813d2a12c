#include "platform/storage/KeyValueStore.h"

#include <QStringList>

namespace DewlightPlatform {

KeyValueStoreChange KeyValueStoreChange::make(std::optional<KeyValueStoreChangeReason> reason,
                                              std::optional<std::vector<std::string>> keys) {
    KeyValueStoreChange change;
    if (reason)
        change.reason = QVariant::fromValue(static_cast<qint64>(*reason));
    if (keys) {
        QStringList list;
        for (const auto& key : *keys)
            list.push_back(QString::fromStdString(key));
        change.changedKeys = list;
    }
    return change;
}

std::optional<std::int64_t> KeyValueStoreChange::integerReason() const {
    switch (reason.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Long:
        return reason.toLongLong();
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::ULong: {
        bool ok = false;
        auto value = reason.toULongLong(&ok);
        if (!ok || value > static_cast<qulonglong>(INT64_MAX))
            return std::nullopt;
        return static_cast<std::int64_t>(value);
    }
    default:
        return std::nullopt;
    }
}

std::optional<std::vector<std::string>> KeyValueStoreChange::keyList() const {
    std::vector<std::string> result;
    if (changedKeys.typeId() == QMetaType::QStringList) {
        for (const auto& key : changedKeys.toStringList())
            result.push_back(key.toStdString());
        return result;
    }
    if (changedKeys.typeId() == QMetaType::QVariantList) {
        for (const auto& item : changedKeys.toList()) {
            if (item.typeId() != QMetaType::QString)
                return std::nullopt;
            result.push_back(item.toString().toStdString());
        }
        return result;
    }
    return std::nullopt;
}

} // namespace DewlightPlatform
