#pragma once
// One open device and its receive side, shared by the user-interface thread and the event
// thread while the port is open.
//
// Received bytes are moved by the event thread from the driver into a bounded queue of the
// component's (Buffers.ReadSize bytes) before each wait for line events. A wait therefore
// returns only for bytes that arrived after the last move, never again for bytes the
// OnRxChar handler left unread, and it cannot miss bytes that arrived between two waits: they
// are still in the driver and keep the device readable. While the queue is full the event
// thread stops watching input; the driver holds further bytes until the queue has room again.
// Reads, counts and purges work on the queue first and then on what the driver holds, under
// the read lock, so bytes always come out in arrival order.
//
// A device that hung up or failed is dead until the port closes: its threads stop using it and
// the operations behave as on a closed port, except that bytes already queued can still be
// read.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

#include "serial/platform/device.h"
#include "serial/ser_comm_buffer.h"
#include "serial/ser_sync.h"

namespace ser {

class TSerPortSession {
public:
    TSerPortSession(std::unique_ptr<platform::Device> device, int readSize);

    platform::Device& Device() { return *device_; }

    // Event thread: moves what the driver holds into the queue; the bytes added, or the read's
    // failure (a hang-up has then made the session dead).
    platform::OsValue<int> Fill();
    bool InputFull();

    // User-interface thread; failures other than a hang-up raise ESerCommError.
    int Read(std::uint8_t* buffer, int count);
    int InputCount();
    void Purge();
    std::uint32_t ClearErrors();
    void SetModemLine(platform::ModemLine line, bool on);
    // False when `timeout` passed first or the device is dead.
    bool Drain(std::chrono::milliseconds timeout);

    bool Dead() const { return dead_.load(); }
    // Any thread: the device is gone; wakes both threads so they notice.
    void MarkDead();

    // Raises `message` for a failure; a hang-up instead makes the session dead, and missing
    // modem lines are no failure on a line found without them at opening.
    void Check(const platform::OsResult& error, const char* message);

private:
    // The wait stops watching input while the queue is full; a read that makes room wakes it.
    void WakeIfWasFull(bool wasFull);

    std::unique_ptr<platform::Device> device_;
    TSerCriticalSection readLock_;
    TSerCommBuffer input_;
    std::atomic<bool> dead_{false};
};

}  // namespace ser
