// Requests from outside to end the process (platform/termination_signals.h: SIGTERM, SIGINT,
// SIGHUP) as a Qt signal: the event loop watches the platform's descriptor and emits
// requested(), where the window closes as its close button would. One instance per process;
// destroying it gives the signals their earlier handling back.
#pragma once

#include "platform/termination_signals.h"

#include <QObject>

class QSocketNotifier;

namespace app {

class TerminationRequests : public QObject {
    Q_OBJECT
public:
    explicit TerminationRequests(QObject* parent = nullptr);
    ~TerminationRequests() override;

signals:
    void requested();

private:
    void drain();

    platform::TerminationSignals m_signals;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace app
