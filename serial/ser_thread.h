#pragma once
// One worker thread of the component with its priority. The thread is running when the
// constructor returns; the destructor asks it to stop and joins it.

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
