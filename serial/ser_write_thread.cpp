#include "serial/ser_write_thread.h"

#include <mutex>

namespace ser {

TSerCommWriteThread::TSerCommWriteThread(TSerPortSession& session, int writeSize,
                                         TThreadPriority priority)
    : session_(session),
      buffer_(writeSize),
      thread_(priority, [this](std::stop_token stop) { Run(stop); }) {}

TSerCommWriteThread::~TSerCommWriteThread() {
    thread_.RequestStop();
    session_.Device().InterruptWrite();
}

TSerCommWriteThread::TQueueResult TSerCommWriteThread::Queue(const std::uint8_t* data, int count,
                                                             std::chrono::milliseconds timeout) {
    std::unique_lock lock(writeLock_);
    const bool room = changed_.wait_for(lock, timeout,
                                        [&] { return session_.Dead() || count <= buffer_.Room(); });
    if (session_.Dead()) {
        return TQueueResult::Dead;
    }
    if (!room) {
        return TQueueResult::Full;
    }
    buffer_.Append(data, count);
    changed_.notify_all();
    return TQueueResult::Queued;
}

bool TSerCommWriteThread::WaitEmpty(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(writeLock_);
    return changed_.wait_until(lock, deadline, [&] { return buffer_.Size() == 0; });
}

void TSerCommWriteThread::Run(const std::stop_token& stop) {
    std::unique_lock lock(writeLock_);
    for (;;) {
        changed_.wait(lock, stop, [&] { return buffer_.Size() > 0; });
        if (stop.stop_requested()) {
            return;
        }
        const int size = buffer_.Size();
        const std::uint8_t* data = buffer_.Data();
        lock.unlock();
        // Without the lock: appends only go behind `size` and only this thread removes bytes,
        // so nobody else touches the range in flight.
        const platform::OsValue<int> written = session_.Device().Write(data, size);
        lock.lock();
        if (written.Error) {
            session_.MarkDead();
        }
        // A dead device never takes the bytes: retrying them would spin for ever.
        if (session_.Dead()) {
            buffer_.Clear();
        } else {
            buffer_.RemoveFirst(written.Value);
        }
        changed_.notify_all();
    }
}

}  // namespace ser
