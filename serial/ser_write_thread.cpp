#include "serial/ser_write_thread.h"

#include <algorithm>
#include <mutex>
#include <utility>

namespace ser {

TSerCommWriteThread::TSerCommWriteThread(TSerPortSession& session, int writeSize,
                                         std::chrono::nanoseconds byteTime,
                                         TErrorReport reportError, TThreadPriority priority)
    : session_(session),
      reportError_(std::move(reportError)),
      buffer_(writeSize),
      byteTime_(byteTime),
      thread_(priority, [this](std::stop_token stop) { Run(stop); }) {}

TSerCommWriteThread::~TSerCommWriteThread() {
    thread_.RequestStop();
    // Taken once, so that the thread either sees the stop before it waits or is woken by this.
    { const std::lock_guard lock(writeLock_); }
    changed_.notify_all();
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

std::chrono::steady_clock::time_point TSerCommWriteThread::LineIdleAt() {
    std::lock_guard lock(writeLock_);
    return lineIdleAt_;
}

void TSerCommWriteThread::SetByteTime(std::chrono::nanoseconds byteTime) {
    std::lock_guard lock(writeLock_);
    byteTime_ = byteTime;
}

void TSerCommWriteThread::Run(const std::stop_token& stop) {
    std::unique_lock lock(writeLock_);
    for (;;) {
        changed_.wait(lock, [&] { return stop.stop_requested() || buffer_.Size() > 0; });
        if (stop.stop_requested()) {
            return;
        }
        const int size = buffer_.Size();
        const std::uint8_t* data = buffer_.Data();
        lock.unlock();
        // Without the lock: appends only go behind `size` and only this thread removes bytes,
        // so nobody else touches the range in flight.
        const platform::OsValue<int> written = session_.Device().Write(data, size);
        const auto handedOver = std::chrono::steady_clock::now();
        lock.lock();
        if (written.error && written.error->kind == platform::OsError::Kind::LineGone) {
            session_.MarkDead();
        }
        // A dead device never takes the bytes: retrying them would spin for ever.
        if (session_.Dead()) {
            buffer_.Clear();
        } else if (written.error) {
            ReportAndPause(lock, stop);
        } else {
            buffer_.RemoveFirst(written.value);
            lineIdleAt_ = std::max(lineIdleAt_, handedOver) + written.value * byteTime_;
        }
        changed_.notify_all();
    }
}

void TSerCommWriteThread::ReportAndPause(std::unique_lock<TSerCriticalSection>& lock,
                                         const std::stop_token& stop) {
    lock.unlock();
    reportError_(stop);
    lock.lock();
    // Nothing to wait for but the pause or the stop: a device that fails every write must not
    // keep a thread of the highest priority busy.
    changed_.wait_for(lock, kFailurePause, [&] { return stop.stop_requested(); });
}

}  // namespace ser
