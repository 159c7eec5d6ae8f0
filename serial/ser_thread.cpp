#include "serial/ser_thread.h"

#include <condition_variable>
#include <mutex>
#include <utility>

namespace ser {

TSerThread::TSerThread(TThreadPriority priority, std::function<void(std::stop_token)> body) {
    // A mutex and a condition rather than std::latch: GCC 12's atomic waits lose wake-ups where
    // there is no futex (MinGW), and the constructor then waits for ever.
    std::mutex mutex;
    std::condition_variable started;
    bool running = false;
    thread_ = std::jthread([&, body = std::move(body)](std::stop_token stop) {
        {
            // Notified under the lock, so the constructor cannot return and destroy the
            // condition before this thread is done with it; afterwards the thread touches
            // nothing of this object again.
            std::lock_guard lock(mutex);
            id_ = platform::CurrentThreadId();
            running = true;
            started.notify_one();
        }
        body(std::move(stop));
    });
    std::unique_lock lock(mutex);
    started.wait(lock, [&] { return running; });
    lock.unlock();
    SetPriority(priority);
}

void TSerThread::SetPriority(TThreadPriority priority) {
    platform::ApplyThreadPriority(id_, priority);
}

}  // namespace ser
