// Requests from outside to end the process: SIGTERM, SIGINT and SIGHUP (a closed terminal or a
// desktop logout). The signal handler only writes one byte to a pipe (safe inside a handler);
// the event loop reads it and emits requested(), where the window closes as its close button
// would. One instance per process; destroying it restores the previous handlers.
#pragma once

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

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace app
