#pragma once
// The writer thread: owns the output buffer (Buffers.WriteSize bytes, allocated once) and hands
// its content to the device, so that callers of WriteBuf never wait for the line.

#include <chrono>
#include <cstdint>

#include "serial/ser_comm_buffer.h"
#include "serial/ser_port_session.h"
#include "serial/ser_sync.h"
#include "serial/ser_thread.h"

namespace ser {

class TSerCommWriteThread {
public:
    enum class TQueueResult { Queued, Full, Dead };

    TSerCommWriteThread(TSerPortSession& session, int writeSize, TThreadPriority priority);
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
    void SetPriority(TThreadPriority priority) { thread_.SetPriority(priority); }

private:
    void Run(const std::stop_token& stop);

    TSerPortSession& session_;
    TSerCriticalSection writeLock_;
    // Bytes queued, bytes written or dropped, stop requested.
    TSerWaitEvent changed_;
    TSerCommBuffer buffer_;
    TSerThread thread_;
};

}  // namespace ser
