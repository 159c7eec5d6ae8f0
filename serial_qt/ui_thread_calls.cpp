#include "serial_qt/ui_thread_calls.h"

#ifdef Q_OS_WIN
UiThreadCalls::UiThreadCalls(QObject* parent)
    : QObject(parent), notifier_(reinterpret_cast<Qt::HANDLE>(queue_.WakeHandle())) {
    connect(&notifier_, &QWinEventNotifier::activated, this, [this] { queue_.RunPending(); });
}
#else
UiThreadCalls::UiThreadCalls(QObject* parent)
    : QObject(parent), notifier_(queue_.WakeHandle(), QSocketNotifier::Read) {
    // A notifier rather than queued lambdas: the calls then cross threads only through the
    // queue's own mutex, which keeps ThreadSanitizer quiet with Qt libraries built without it.
    connect(&notifier_, &QSocketNotifier::activated, this, [this] { queue_.RunPending(); });
}
#endif

ser::TSerSyncCall UiThreadCalls::SyncCall() {
    return queue_.SyncCall();
}
