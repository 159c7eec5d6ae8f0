#pragma once
// Synchronized calls: a worker thread asks the user-interface thread to run a call and waits
// until it has run, or until the worker's stop_token cancels a call that has not started yet.
//
// The user-interface thread watches WakeHandle() in its event loop and calls RunPending() when
// it becomes ready. Calls run in the order they were queued, one at a time, between the loop's
// other events; a call may itself run a nested event loop, in which later calls run too.
// The queue must outlive every thread that calls through it.

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>

#include "serial/platform/wake_handle.h"
#include "serial/ser_environment.h"
#include "serial/ser_sync.h"

namespace ser {

class SyncCallQueue {
public:
    SyncCallQueue() = default;
    SyncCallQueue(const SyncCallQueue&) = delete;
    SyncCallQueue& operator=(const SyncCallQueue&) = delete;

    // Any thread but the user-interface thread: true when `call` ran, false when `cancel` was
    // requested before it started. A call that has started is waited for whatever `cancel`
    // says, since it works with the caller's data.
    bool Call(const std::function<void()>& call, std::stop_token cancel);
    // User-interface thread: runs every queued call. A call must not throw.
    void RunPending();
    // Readable (POSIX descriptor) or signalled (Windows handle) while calls are queued.
    std::intptr_t WakeHandle() const { return wake_.NativeHandle(); }
    // Call() bound to this queue, for the component's environment.
    TSerSyncCall SyncCall();

private:
    struct Request {
        const std::function<void()>* call;
        enum class State { Queued, Running, Done } state = State::Queued;
    };

    std::mutex mutex_;
    TSerWaitEvent done_;
    std::deque<Request*> queue_;
    platform::WakeHandle wake_;
};

}  // namespace ser
