#pragma once
// The user-interface side of the serial component's synchronized calls: owns the call queue
// and runs its calls from the Qt event loop when its wake-up descriptor becomes readable.
// Create it on the user-interface thread, before the components that use it, and destroy it
// after them.

#include <QObject>
#include <QSocketNotifier>

#include "serial/ser_environment.h"
#include "serial/sync_call_queue.h"

class UiThreadCalls : public QObject {
    Q_OBJECT
public:
    explicit UiThreadCalls(QObject* parent = nullptr);

    // For TSerEnvironment::SyncCall.
    ser::TSerSyncCall SyncCall();

private:
    ser::SyncCallQueue queue_;
    QSocketNotifier notifier_;
};
