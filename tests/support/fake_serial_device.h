#pragma once
// A fake serial line for tests, handed to the component as its device factory
// (TSerEnvironment::devices). It opens any path that is not made missing or busy, one device at
// a time, and records every call the component makes with a steady_clock time stamp.
//
//   auto line = std::make_shared<FakeSerialDevice>();
//   ser::TSerComm comm({queue.SyncCall(), report, line});
//   comm.SetDeviceName("COM1"); comm.Open();
//   line->Receive({0x06, 0x82});            // raises OnRxChar with Count 2
//   comm.SetRTS(true); comm.WriteBuf(frame, n); comm.Drain(2s); comm.SetRTS(false);
//   line->Records();                        // ... Rts on, Write, Write, ..., Drain, Rts off
//
// Written bytes leave the fake line when its Write returns: at once, or one byte per
// SetByteTime() each, so a Write record's time is when that byte left. Thread-safe.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "serial/platform/device.h"

class FakeSerialDevice : public ser::platform::DeviceFactory {
public:
    struct Record {
        enum class Kind {
            Open,
            Close,
            Settings,
            QueueSizes,
            Timeouts,
            EventMask,
            Rts,
            Dtr,
            Write,
            Drain,
            Purge,
            Read,  // only for SetFailing: reads are not recorded
        };
        Kind kind;
        std::chrono::steady_clock::time_point time;
        std::string path;                      // Open
        ser::platform::LineSettings settings;  // Settings
        bool on = false;                       // Rts, Dtr
        std::vector<std::uint8_t> bytes;       // Write: the bytes that left the line
    };

    FakeSerialDevice();

    ser::platform::OsValue<std::unique_ptr<ser::platform::Device>> Open(
        const std::string& path) override;

    // Opening `path` fails as a missing device (ENOENT) or a busy one (EBUSY).
    void SetMissing(const std::string& path, bool missing = true);
    void SetBusy(const std::string& path, bool busy = true);
    // Calls of this kind fail with `errorCode` (0: succeed again). Settings, QueueSizes,
    // Timeouts, EventMask, Rts, Dtr, Purge, Drain, Read and Write can fail (failed reads and
    // writes are not recorded). EIO is a hang-up; ENOTTY
    // and EINVAL from Rts and Dtr say the device has no modem lines.
    void SetFailing(Record::Kind kind, int errorCode);
    // Whether the devices opened from now on have modem-control lines (they have by default;
    // a pseudo-terminal has none).
    void SetModemLines(bool present);

    // Bytes arriving from the line; they wait in the driver until read, across Close too.
    void Receive(const std::vector<std::uint8_t>& bytes);
    // Bytes arriving with a line error (framing, parity) reported in the same wait.
    void ReceiveWithLineError(const std::vector<std::uint8_t>& bytes);
    // The device hangs up: every call on it fails with EIO until it is closed.
    void HangUp();

    // Each written byte takes this long to leave (0: a Write takes everything at once).
    void SetByteTime(std::chrono::microseconds perByte);
    // While stuck, writes take nothing, as on a line held by flow control.
    void SetWritesStuck(bool stuck);

    bool IsOpen() const;
    bool Rts() const;
    bool Dtr() const;
    std::vector<Record> Records() const;
    // Every byte that left the line, in order.
    std::vector<std::uint8_t> Written() const;
    // True once at least `count` bytes have left the line, false after `timeout`.
    bool WaitForWritten(std::size_t count, std::chrono::milliseconds timeout) const;

    struct State;

private:
    std::shared_ptr<State> state_;
};
