#include "ui/ui_thread_calls.h"

UiThreadCalls::UiThreadCalls(QObject* parent)
    : QObject(parent), notifier_(queue_.WakeHandle(), QSocketNotifier::Read) {
    // A notifier rather than queued lambdas: the calls then cross threads only through the
    // queue's own mutex, which keeps ThreadSanitizer quiet with Qt libraries built without it.
    connect(&notifier_, &QSocketNotifier::activated, this, [this] { queue_.RunPending(); });
}

ser::TSerSyncCall UiThreadCalls::SyncCall() {
    return queue_.SyncCall();
}
