#pragma once
// What the serial-port component asks of the operating system, and nothing more. One Device is
// one opened serial device; it is used by three threads at once (the user-interface thread, the
// event thread and the writer thread), so every operation is safe to call concurrently with the
// others, except that Read calls are serialised by the caller.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "serial/ser_types.h"

namespace ser::platform {

// A failed system call: the system's error code and its text.
struct OsError {
    enum class Kind {
        Other,
        NotFound,      // no device behind the path (only from DeviceFactory::Open)
        LineGone,      // the device hung up or was removed: it will never work again
        NoModemLines,  // the device has no modem-control lines to move
    };
    int code = 0;
    std::string text;
    Kind kind = Kind::Other;
};

// Empty on success.
using OsResult = std::optional<OsError>;

// A value, or the error that prevented it.
template <typename T>
struct OsValue {
    T value{};
    OsResult error;
};

// The line settings the component derives from its properties.
struct LineSettings {
    int bitRate = 9600;
    int dataBits = 8;
    TSerParity parity = paNone;
    TSerStopbits stopbits = sb1;
    bool outCtsFlow = false;
    bool outDsrFlow = false;
    bool xonXoffOut = false;
    bool xonXoffIn = false;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = false;
    TSerControlDtr controlDtr = dtrDisabled;
    TSerControlRts controlRts = rtsDisabled;
    int xonLimit = 1024;
    int xoffLimit = 1024;
    std::uint8_t xonChar = 17;
    std::uint8_t xoffChar = 19;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

enum class ModemLine { Rts, Dtr };

// What a wait for line events watches besides its wake-up.
enum class WatchFor {
    InputAndLine,  // received bytes, line errors, hang-up
    Line,          // line errors and hang-up only, where the system can watch them without
                   // taking input (the caller cannot take input now)
    Nothing,       // only the wake-up
};

enum class WaitOutcome {
    Input,      // bytes are waiting in the driver
    LineError,  // a recoverable line error (framing, parity, overrun)
    LineGone,   // hang-up or removal
    Failed,     // the wait itself failed for another reason: try again after a pause
    Woken,      // InterruptWait, or nothing in particular: look again
};

class Device {
public:
    Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    // Restores the settings found at opening and closes the device; output not yet sent is
    // dropped.
    virtual ~Device() = default;

    // Whether the line has modem-control lines (RTS, DTR) that can be moved; decided when the
    // device is opened. A pseudo-terminal has none, nor has a driver that refuses to report
    // their state.
    virtual bool HasModemLines() const = 0;

    virtual OsResult ApplySettings(const LineSettings& settings) = 0;
    // Driver queue sizes in bytes.
    virtual OsResult SetQueueSizes(int input, int output) = 0;
    // Reads return at once with whatever the driver holds; where the system can still leave a
    // read pending, it is cancelled after `readBound`.
    virtual OsResult SetTimeouts(std::chrono::milliseconds readBound) = 0;
    virtual OsResult SetEventMask(TSerEventMask mask) = 0;

    // Copies up to `count` received bytes without waiting; 0 when none are there.
    virtual OsValue<int> Read(std::uint8_t* buffer, int count) = 0;
    // Hands bytes to the driver, waiting until it takes at least one of them or until
    // InterruptWrite; the count taken (0 when interrupted).
    virtual OsValue<int> Write(const std::uint8_t* data, int count) = 0;
    // Makes the current Write, or the next one if none is in progress, return at once.
    virtual void InterruptWrite() = 0;

    // Waits without time-out for a line event of the kind given, or for InterruptWait.
    virtual WaitOutcome WaitEvent(WatchFor watch) = 0;
    // Makes the current WaitEvent, or the next one if none is in progress, return Woken.
    virtual void InterruptWait() = 0;

    // Bytes waiting in the driver's input queue.
    virtual OsValue<int> InputCount() = 0;
    // Reads and clears the driver's line-error flags.
    virtual OsValue<std::uint32_t> ClearErrors() = 0;
    virtual OsResult PurgeInput() = 0;
    virtual OsResult SetModemLine(ModemLine line, bool on) = 0;
    // Waits until the driver has sent everything it was given; false when `timeout` passed
    // first.
    virtual OsValue<bool> Drain(std::chrono::milliseconds timeout) = 0;
};

class DeviceFactory {
public:
    virtual ~DeviceFactory() = default;
    // Opens `path` for reading and writing, exclusively. A path with no working device behind
    // it fails with Kind::NotFound.
    virtual OsValue<std::unique_ptr<Device>> Open(const std::string& path) = 0;
};

// The operating system's serial devices.
std::shared_ptr<DeviceFactory> SystemDevices();

}  // namespace ser::platform
