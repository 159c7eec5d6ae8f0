#include "serial/ser_thread.h"

#include <latch>
#include <utility>

namespace ser {

TSerThread::TSerThread(TThreadPriority priority, std::function<void(std::stop_token)> body) {
    std::latch started(1);
    thread_ = std::jthread([this, &started, body = std::move(body)](std::stop_token stop) {
        // After the count-down the thread touches nothing of this object again.
        id_ = platform::CurrentThreadId();
        started.count_down();
        body(std::move(stop));
    });
    started.wait();
    SetPriority(priority);
}

void TSerThread::SetPriority(TThreadPriority priority) {
    platform::ApplyThreadPriority(id_, priority);
}

}  // namespace ser
