#pragma once
// The writer thread: owns the output buffer (Buffers.WriteSize bytes, allocated once) and hands
// its content to the device, so that callers of WriteBuf never wait for the line.

#include <chrono>
#include <cstdint>
#include <functional>
#include <stop_token>

#include "serial/ser_comm_buffer.h"
#include "serial/ser_port_session.h"
#include "serial/ser_sync.h"
#include "serial/ser_thread.h"

namespace ser {

class TSerCommWriteThread {
public:
    enum class TQueueResult { Queued, Full, Dead };
    // Runs on the writer thread after a write failed other than by a hang-up; returns once the
    // failure has been reported, or when `stop` is requested.
    using TErrorReport = std::function<void(const std::stop_token& stop)>;

    // `byteTime` is how long one byte takes on the line.
    TSerCommWriteThread(TSerPortSession& session, int writeSize, std::chrono::nanoseconds byteTime,
                        TErrorReport reportError, TThreadPriority priority);
    TSerCommWriteThread(const TSerCommWriteThread&) = delete;
    TSerCommWriteThread& operator=(const TSerCommWriteThread&) = delete;
    // Stops and joins the thread; output still in the buffer is dropped.
    ~TSerCommWriteThread();

    // Appends the bytes, waiting at most `timeout` for room (Full when none came). Once the
    // device is dead, bytes are refused (Dead) and pending ones have been dropped.
    TQueueResult Queue(const std::uint8_t* data, int count, std::chrono::milliseconds timeout);
    // True once every queued byte has been handed to the device (or dropped with a dead one);
    // false when `deadline` came first.
    bool WaitEmpty(std::chrono::steady_clock::time_point deadline);
    // When the last byte handed to the device has left the line at the latest, counted from the
    // moment each write was handed over. Drivers that pass bytes on to an adapter of their own
    // (USB) report them sent while the adapter still holds them; this is what their line time
    // says instead.
    std::chrono::steady_clock::time_point LineIdleAt();
    void SetByteTime(std::chrono::nanoseconds byteTime);
    void SetPriority(TThreadPriority priority) { thread_.SetPriority(priority); }

private:
    void Run(const std::stop_token& stop);
    // A failed write: reported, then the same bytes are tried again after a pause.
    void ReportAndPause(std::unique_lock<TSerCriticalSection>& lock, const std::stop_token& stop);

    TSerPortSession& session_;
    TErrorReport reportError_;
    TSerCriticalSection writeLock_;
    // Bytes queued, bytes written or dropped, stop requested.
    TSerWaitEvent changed_;
    TSerCommBuffer buffer_;
    std::chrono::nanoseconds byteTime_;
    std::chrono::steady_clock::time_point lineIdleAt_;
    TSerThread thread_;
};

}  // namespace ser
