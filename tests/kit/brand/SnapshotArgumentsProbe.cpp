// Starts a GUI application, which takes Qt's own options out of its argument list, and prints
// the snapshot readers' view of the arguments, one per line.
#include "kit/brand/KestraSnapshot.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    using namespace KestraUI;
    std::printf("active=%d\n", KestraSnapshot::isActive() ? 1 : 0);
    std::printf("update=%d\n",
                KestraSnapshot::contains(QStringLiteral("--snapshot-update")) ? 1 : 0);
    std::printf("qt=%d\n", int(QCoreApplication::arguments().size() - 1));
    for (const QString& argument : KestraSnapshot::arguments())
        std::printf("arg=%s\n", qPrintable(argument));
    return 0;
}
