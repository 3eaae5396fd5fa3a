#include "app/termination_requests.h"

#include <QSocketNotifier>

namespace app {

TerminationRequests::TerminationRequests(QObject* parent) : QObject(parent) {
    if (m_signals.readable() < 0) {
        return;
    }
    m_notifier = new QSocketNotifier(m_signals.readable(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationRequests::drain);
}

// The notifier goes before the descriptor it watches is closed by m_signals.
TerminationRequests::~TerminationRequests() {
    delete m_notifier;
}

void TerminationRequests::drain() {
    if (m_signals.takeRequests()) {
        emit requested();
    }
}

} // namespace app
