#include "kit/brand/KestraSnapshot.h"

#include <QCoreApplication>
#include <QFile>

namespace KestraUI::KestraSnapshot {

QStringList arguments() {
    QFile file(QStringLiteral("/proc/self/cmdline"));
    if (!file.open(QIODevice::ReadOnly)) {
        // No process file system: the best left is what Qt kept.
        const QStringList kept = QCoreApplication::arguments();
        return kept.mid(1);
    }
    const QByteArray raw = file.readAll();
    QStringList result;
    // Each argument ends in a NUL; the first is the program.
    const QList<QByteArray> parts = raw.split('\0');
    for (qsizetype i = 1; i + 1 < parts.size(); ++i)
        result << QFile::decodeName(parts[i]);
    return result;
}

bool isActive() {
    return isActive(arguments());
}

bool isActive(const QStringList& arguments) {
    return std::any_of(arguments.begin(), arguments.end(), [](const QString& argument) {
        return argument.startsWith(QLatin1String("--snapshot-"));
    });
}

bool contains(const QString& flag) {
    return contains(arguments(), flag);
}

bool contains(const QStringList& arguments, const QString& flag) {
    return arguments.contains(flag);
}

std::optional<QString> value(const QString& flag) {
    return value(arguments(), flag);
}

std::optional<QString> value(const QStringList& arguments, const QString& flag) {
    const qsizetype at = arguments.indexOf(flag);
    if (at < 0 || at + 1 >= arguments.size())
        return std::nullopt;
    return arguments[at + 1];
}

} // namespace KestraUI::KestraSnapshot
