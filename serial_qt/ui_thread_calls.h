#pragma once
// The user-interface side of the serial component's synchronized calls: owns the call queue
// and runs its calls from the Qt event loop when the queue's wake-up handle becomes ready (a
// descriptor that turns readable on POSIX, an event object that is signalled on Windows).
// Create it on the user-interface thread, before the components that use it, and destroy it
// after them.

#include <QObject>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#else
#include <QSocketNotifier>
#endif

#include "serial/ser_environment.h"
#include "serial/sync_call_queue.h"

class UiThreadCalls : public QObject {
    Q_OBJECT
public:
    explicit UiThreadCalls(QObject* parent = nullptr);

    // For TSerEnvironment::syncCall.
    ser::TSerSyncCall SyncCall();

private:
    ser::SyncCallQueue queue_;
#ifdef Q_OS_WIN
    QWinEventNotifier notifier_;
#else
    QSocketNotifier notifier_;
#endif
};
