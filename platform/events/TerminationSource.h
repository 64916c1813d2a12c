#pragma once

#include "platform/runtime/OwnedDescriptor.h"

#include <QObject>
#include <csignal>

class QCoreApplication;

namespace DewlightPlatform {

// The application is about to end: willTerminate() comes from the application's aboutToQuit,
// and SIGTERM, SIGINT and SIGHUP are turned into a normal quit (through a self-pipe, since a
// signal handler may do nearly nothing) so that they end the same way. One source at a time;
// destroying it restores the signal handlers it replaced.
class TerminationSource final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSource(QCoreApplication& application, QObject* parent = nullptr);
    ~TerminationSource() override;

signals:
    // Emitted at once inside aboutToQuit: the last turn of the event loop has passed.
    void willTerminate();

private:
    void onSignalled();

    QCoreApplication& application_;
    // The self-pipe: the handler writes a byte, the event loop reads it.
    OwnedDescriptor readEnd_;
    OwnedDescriptor writeEnd_;
    struct sigaction previous_[3] = {};
};

} // namespace DewlightPlatform
