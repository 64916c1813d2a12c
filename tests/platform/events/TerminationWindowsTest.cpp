#include "platform/events/TerminationSource.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace DewlightPlatform;

namespace {

// Like the panel: asked to close, it only puts itself away.
class HidingWindow final : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        hide();
    }
};

TEST(TerminationSource, ASignalEndsTheApplicationThoughAShownWindowRefusesToClose) {
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        auto& application = *QCoreApplication::instance();
        TerminationSource source(application);
        int willTerminate = 0;
        QObject::connect(&source, &TerminationSource::willTerminate, [&] { ++willTerminate; });
        HidingWindow window;
        window.resize(120, 80);
        window.show();
        QTimer::singleShot(0, [signalNumber] { ::kill(::getpid(), signalNumber); });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] { application.exit(2); });
        guard.start(3000);
        EXPECT_EQ(application.exec(), 0) << "signal " << signalNumber << " was ignored";
        EXPECT_EQ(willTerminate, 1) << signalNumber;
    }
}

} // namespace
