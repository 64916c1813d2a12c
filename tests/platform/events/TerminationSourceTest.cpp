#include "platform/events/TerminationSource.h"

#include <QCoreApplication>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace DewlightPlatform;

namespace {

TEST(TerminationSource, TerminationSignalsEndInANormalQuit) {
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        auto& application = *QCoreApplication::instance();
        TerminationSource source(application);
        int willTerminate = 0;
        QObject::connect(&source, &TerminationSource::willTerminate, [&] { ++willTerminate; });
        QTimer::singleShot(0, [signalNumber] { ::kill(::getpid(), signalNumber); });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] { application.exit(2); });
        guard.start(5000);
        const int status = application.exec();
        EXPECT_EQ(status, 0) << "signal " << signalNumber << " did not quit the loop";
        EXPECT_EQ(willTerminate, 1) << signalNumber;
    }
}

TEST(TerminationSource, AQuitFromTheApplicationAlsoAnnouncesTermination) {
    auto& application = *QCoreApplication::instance();
    TerminationSource source(application);
    int willTerminate = 0;
    QObject::connect(&source, &TerminationSource::willTerminate, [&] { ++willTerminate; });
    QTimer::singleShot(0, &application, &QCoreApplication::quit);
    application.exec();
    EXPECT_EQ(willTerminate, 1);
}

extern "C" void ownHandler(int) {}

TEST(TerminationSource, RestoresTheSignalHandlersItReplaced) {
    struct sigaction own = {};
    own.sa_handler = &ownHandler;
    sigemptyset(&own.sa_mask);
    struct sigaction original = {};
    ASSERT_EQ(::sigaction(SIGHUP, &own, &original), 0);
    {
        TerminationSource source(*QCoreApplication::instance());
        struct sigaction during = {};
        ::sigaction(SIGHUP, nullptr, &during);
        EXPECT_NE(during.sa_handler, &ownHandler);
    }
    struct sigaction after = {};
    ::sigaction(SIGHUP, &original, &after);
    EXPECT_EQ(after.sa_handler, &ownHandler);
}

} // namespace
