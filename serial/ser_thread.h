#pragma once
// One worker thread of the component with its priority. The thread is running when the
// constructor returns; the destructor asks it to stop and joins it.
//
// No wait of the component is ended through a std::stop_callback, nor through the stop-token
// waits of std::condition_variable_any, which register one: unregistering a callback while the
// stopping thread runs it waits on a semaphore, and GCC 12's semaphores and atomic waits lose
// wake-ups where there is no futex (MinGW), so that the waiting thread, and whoever joins it,
// can hang for ever. A wait the owner can reach is ended by the owner: it requests the stop,
// takes the wait's mutex once and notifies. A wait it cannot reach looks at the stop token
// every kStopPoll.

#include <chrono>
#include <functional>
#include <stop_token>
#include <thread>

#include "serial/platform/thread_priority.h"
#include "serial/ser_types.h"

namespace ser {

// How long a worker thread waits before it tries again an operation that failed on a device
// still there: often enough to recover soon, seldom enough not to load the machine.
inline constexpr std::chrono::milliseconds kFailurePause{100};
// How soon a wait that only looks at its stop token notices a stop.
inline constexpr std::chrono::milliseconds kStopPoll{10};

class TSerThread {
public:
    TSerThread(TThreadPriority priority, std::function<void(std::stop_token)> body);
    TSerThread(const TSerThread&) = delete;
    TSerThread& operator=(const TSerThread&) = delete;
    ~TSerThread() = default;

    // Takes effect at once, best-effort.
    void SetPriority(TThreadPriority priority);
    void RequestStop() { thread_.request_stop(); }
    // Lets the thread end by itself, for the one case where it cannot be joined: it is waiting
    // for the very call that is destroying its owner.
    void Detach() { thread_.detach(); }

private:
    platform::ThreadId id_ = 0;
    std::jthread thread_;
};

}  // namespace ser
