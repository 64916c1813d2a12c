#include "platform/events/TerminationSource.h"

#include "platform/runtime/Log.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace DewlightPlatform {

namespace {

constexpr int handledSignals[3] = {SIGTERM, SIGINT, SIGHUP};

// The write end of the live source's self-pipe: a signal handler can reach nothing else.
volatile std::sig_atomic_t signalPipe = -1;

extern "C" void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    if (signalPipe >= 0) {
        [[maybe_unused]] const auto written = ::write(signalPipe, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSource::TerminationSource(QCoreApplication& application, QObject* parent)
    : QObject(parent), application_(application) {
    connect(&application_, &QCoreApplication::aboutToQuit, this, &TerminationSource::willTerminate);
    Q_ASSERT_X(signalPipe < 0, "TerminationSource", "only one termination source at a time");
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(systemLog, "termination signals are not handled: %s", std::strerror(errno));
        return;
    }
    readEnd_ = OwnedDescriptor(ends[0]);
    writeEnd_ = OwnedDescriptor(ends[1]);
    signalPipe = writeEnd_.get();
    readEnd_.watch([this] { onSignalled(); });
    struct sigaction action = {};
    action.sa_handler = &onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) {
        ::sigaction(handledSignals[i], &action, &previous_[i]);
    }
}

TerminationSource::~TerminationSource() {
    if (!readEnd_.isOpen()) {
        return;
    }
    for (int i = 0; i < 3; ++i) {
        ::sigaction(handledSignals[i], &previous_[i], nullptr);
    }
    // The pipe closes after this, once no handler can write to it.
    signalPipe = -1;
}

void TerminationSource::onSignalled() {
    unsigned char bytes[64];
    while (::read(readEnd_.get(), bytes, sizeof bytes) > 0) {
    }
    // quit() first asks every window to close and gives up when one refuses, as the panel
    // does by hiding; a signal must end the application whatever is shown.
    application_.exit(0);
}

} // namespace DewlightPlatform
