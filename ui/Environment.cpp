#include "ui/Environment.h"

namespace ui {

QString fillArguments(const QString& key, const std::vector<TextArgument>& arguments) {
    QString result;
    std::size_t next = 0;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const QStringView rest = QStringView(key).mid(i);
        const bool integer = rest.startsWith(u"%lld");
        const bool text = rest.startsWith(u"%@");
        if ((integer || text) && next < arguments.size()) {
            const TextArgument& argument = arguments[next++];
            if (const auto* number = std::get_if<long long>(&argument))
                result += QString::number(*number);
            else
                result += std::get<QString>(argument);
            i += integer ? 3 : 1;
            continue;
        }
        result += key[i];
    }
    return result;
}

} // namespace ui
