#pragma once

#include <QString>
#include <QtGlobal>
#include <string>
#include <vector>

namespace DewlightTest {

// Collects warnings while alive.
class WarningLog {
public:
    WarningLog() {
        current() = this;
        previous_ = qInstallMessageHandler(&WarningLog::handle);
    }
    ~WarningLog() {
        qInstallMessageHandler(previous_);
        current() = nullptr;
    }
    std::vector<std::string> lines;

private:
    static WarningLog*& current() {
        static WarningLog* log = nullptr;
        return log;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && current()) {
            current()->lines.push_back(std::string(context.category) + ": " + text.toStdString());
        }
    }
    QtMessageHandler previous_ = nullptr;
};

} // namespace DewlightTest
