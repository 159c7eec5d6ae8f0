// Serial devices on Windows: a COM handle opened for overlapped I/O.
//
// Input is waited for with a one-byte overlapped read beside the wake-up event, not with
// WaitCommEvent. The byte's arrival is what EV_RXCHAR would announce, and the line-error flags
// that EV_ERR would announce are read with ClearCommError as each byte arrives: the errors it
// stands for (framing, parity, overrun) come with received characters. The read behaves the
// same on every driver, where WaitCommEvent does not: under Wine, on a pseudo-terminal, it
// ends at once without events, again and again, and never reports a line error.
//
// Each kind of operation (the wait, reads, writes) has its own OVERLAPPED and completion event,
// so they can be in progress on the handle at once, and each is ended (cancelled, when told to
// stop) and collected before its record or buffer can go away.

#include <windows.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <utility>

#include "serial/platform/device.h"
#include "serial/platform/wake_handle.h"
#include "serial/platform/win32_errors.h"

namespace ser::platform {

namespace {

// How long the read that waits for the next byte lasts when nothing comes; it then ends empty
// and is started again. These fields take no "for ever"; a minute costs nothing.
constexpr DWORD kEmptyWaitMs = 60'000;

HANDLE EventOf(const WakeHandle& wake) {
    return reinterpret_cast<HANDLE>(wake.NativeHandle());
}

// One OVERLAPPED with its own manual-reset completion event.
class OverlappedIo {
public:
    OverlappedIo() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        if (event_ == nullptr) {
            throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                    "CreateEvent");
        }
    }
    OverlappedIo(const OverlappedIo&) = delete;
    OverlappedIo& operator=(const OverlappedIo&) = delete;
    ~OverlappedIo() { CloseHandle(event_); }

    // The record, ready for the next operation.
    OVERLAPPED* Start() {
        overlapped_ = OVERLAPPED{};
        overlapped_.hEvent = event_;
        ResetEvent(event_);
        return &overlapped_;
    }
    OVERLAPPED* Record() { return &overlapped_; }
    HANDLE Event() const { return event_; }

private:
    const HANDLE event_;
    OVERLAPPED overlapped_{};
};

// Waits for the operation started on `io` to end: up to `bound`, or (INFINITE) until it ends
// or `wake` is signalled; then cancels it. The byte count, or the operation's failure; a
// cancelled operation counts what it had transferred.
OsValue<int> Finish(HANDLE handle, OverlappedIo& io, DWORD bound, WakeHandle* wake) {
    HANDLE events[2] = {io.Event(), wake != nullptr ? EventOf(*wake) : nullptr};
    const DWORD signalled = WaitForMultipleObjects(wake != nullptr ? 2 : 1, events, FALSE, bound);
    if (signalled != WAIT_OBJECT_0) {
        if (signalled == WAIT_OBJECT_0 + 1) {
            wake->Clear();
        }
        CancelIoEx(handle, io.Record());
    }
    DWORD n = 0;
    if (!GetOverlappedResult(handle, io.Record(), &n, TRUE) &&
        GetLastError() != ERROR_OPERATION_ABORTED) {
        return {0, TransferError(GetLastError())};
    }
    return {static_cast<int>(n), {}};
}

WaitOutcome OutcomeOf(const OsError& error) {
    return error.kind == OsError::Kind::LineGone ? WaitOutcome::LineGone : WaitOutcome::Failed;
}

// The driver's queue counts, and the line-error flags it cleared.
struct CommStatus {
    DWORD errors = 0;
    DWORD inQueue = 0;
    DWORD outQueue = 0;
};

// The receive side of the handle: the one-byte read that waits for input, the byte it took,
// and the line errors that status queries cleared. The wait is in progress only inside Wait,
// on the event thread. Reads, counts and purges that come from other threads meanwhile collect
// a wait that has ended before they look at the driver, so that the byte it took comes out
// first, and start no read while it is in progress: that read would queue behind the wait and
// take later bytes before it.
class Receiver {
public:
    explicit Receiver(HANDLE handle) : handle_(handle) {}
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;
    ~Receiver() {
        std::lock_guard lock(mutex_);
        CancelWait();
    }

    void SetReadBound(DWORD milliseconds) {
        std::lock_guard lock(mutex_);
        readBound_ = milliseconds;
    }

    // Event thread: waits for the next byte, or for `wake`.
    WaitOutcome Wait(WakeHandle& wake) {
        {
            std::lock_guard lock(mutex_);
            // Errors a read or a count came across are reported before anything else.
            if (std::exchange(unannounced_, 0) != 0) {
                return WaitOutcome::LineError;
            }
            if (held_) {
                return WaitOutcome::Input;
            }
            if (!ReadFile(handle_, &waitByte_, 1, nullptr, waitIo_.Start()) &&
                GetLastError() != ERROR_IO_PENDING) {
                return OutcomeOf(TransferError(GetLastError()));
            }
            waiting_ = true;
        }
        HANDLE events[2] = {waitIo_.Event(), EventOf(wake)};
        const DWORD signalled = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        std::lock_guard lock(mutex_);
        if (signalled != WAIT_OBJECT_0) {
            CancelWait();
            if (signalled != WAIT_OBJECT_0 + 1) {
                return WaitOutcome::Failed;
            }
            wake.Clear();
            return WaitOutcome::Woken;
        }
        // Another thread collected the byte, or a purge ended the wait: look again.
        if (!waiting_) {
            return WaitOutcome::Woken;
        }
        const WaitEnd end = PeekWait(TRUE);
        Collect(end);
        switch (end.kind) {
            case WaitEnd::Kind::Byte:
                // The flags of a line error are set by the time its byte is there. A failure
                // to read them shows in the read that follows.
                Status();
                return std::exchange(unannounced_, 0) != 0 ? WaitOutcome::LineError
                                                           : WaitOutcome::Input;
            case WaitEnd::Kind::Nothing:
                return WaitOutcome::Woken;
            case WaitEnd::Kind::Aborted:
                // Nobody here cancelled it: a driver that keeps ending reads must not make the
                // event thread spin.
                return WaitOutcome::Failed;
            case WaitEnd::Kind::Failed:
            case WaitEnd::Kind::Pending:
                break;
        }
        return OutcomeOf(end.error);
    }

    OsValue<int> Read(std::uint8_t* buffer, int count) {
        if (count <= 0) {
            return {};
        }
        std::lock_guard lock(mutex_);
        if (OsResult error = SettleWait()) {
            return {0, error};
        }
        if (waiting_) {
            // Nothing has come since the wait began, or it has failed: the event thread
            // reports that.
            return {};
        }
        int n = 0;
        if (held_) {
            buffer[n++] = *std::exchange(held_, std::nullopt);
        }
        const OsValue<CommStatus> status = Status();
        const auto queued =
            static_cast<int>(std::min(status.value.inQueue, static_cast<DWORD>(count - n)));
        if (status.error || queued == 0) {
            return {n, status.error};
        }
        // With the time-outs set, a read of what the driver holds completes at once; should it
        // not, it is ended here so that it cannot write into the caller's buffer later.
        if (!ReadFile(handle_, buffer + n, static_cast<DWORD>(queued), nullptr, readIo_.Start()) &&
            GetLastError() != ERROR_IO_PENDING) {
            return {n, TransferError(GetLastError())};
        }
        const OsValue<int> read = Finish(handle_, readIo_, readBound_, nullptr);
        return {n + read.value, read.error};
    }

    OsValue<int> InputCount() {
        std::lock_guard lock(mutex_);
        CollectIfEndedWell();
        const OsValue<CommStatus> status = Status();
        return {static_cast<int>(status.value.inQueue) + (held_ ? 1 : 0), status.error};
    }

    OsValue<std::uint32_t> ClearErrors() {
        std::lock_guard lock(mutex_);
        const OsValue<CommStatus> status = Status();
        return {std::exchange(unreported_, 0), status.error};
    }

    OsValue<CommStatus> QueryStatus() {
        std::lock_guard lock(mutex_);
        return Status();
    }

    // Bytes the wait took count as received before the purge and go with it.
    OsResult Purge() {
        std::lock_guard lock(mutex_);
        CancelWait();
        held_.reset();
        if (!PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR)) {
            return TransferError(GetLastError());
        }
        return {};
    }

private:
    struct WaitEnd {
        enum class Kind { Pending, Byte, Nothing, Aborted, Failed } kind;
        OsError error;
    };

    // How the wait has ended, without collecting it; `block`: wait until it has.
    WaitEnd PeekWait(BOOL block) {
        DWORD n = 0;
        if (GetOverlappedResult(handle_, waitIo_.Record(), &n, block)) {
            return {n == 1 ? WaitEnd::Kind::Byte : WaitEnd::Kind::Nothing, {}};
        }
        switch (const DWORD code = GetLastError()) {
            case ERROR_IO_INCOMPLETE:
                return {WaitEnd::Kind::Pending, {}};
            case ERROR_OPERATION_ABORTED:
                return {WaitEnd::Kind::Aborted, {}};
            default:
                return {WaitEnd::Kind::Failed, TransferError(code)};
        }
    }

    void Collect(const WaitEnd& end) {
        waiting_ = false;
        if (end.kind == WaitEnd::Kind::Byte) {
            held_ = waitByte_;
        }
    }

    // A wait that has ended with its byte or empty is collected here; one that failed is left
    // for the event thread to report.
    void CollectIfEndedWell() {
        if (!waiting_) {
            return;
        }
        if (const WaitEnd end = PeekWait(FALSE);
            end.kind == WaitEnd::Kind::Byte || end.kind == WaitEnd::Kind::Nothing) {
            Collect(end);
        }
    }

    // Before a read: a wait still in progress while the driver already holds bytes is taking
    // the first of them (the driver may count them before the read completes), so it is let
    // end first.
    OsResult SettleWait() {
        CollectIfEndedWell();
        if (!waiting_) {
            return {};
        }
        const OsValue<CommStatus> status = Status();
        if (status.error || status.value.inQueue == 0) {
            return status.error;
        }
        if (WaitForSingleObject(waitIo_.Event(), readBound_) != WAIT_OBJECT_0) {
            CancelWait();
        }
        CollectIfEndedWell();
        return {};
    }

    // Ends a wait in progress; a byte it took in the meantime is kept.
    void CancelWait() {
        if (!waiting_) {
            return;
        }
        CancelIoEx(handle_, waitIo_.Record());
        Collect(PeekWait(TRUE));
    }

    // Reading the status also clears the driver's error flags: they are kept until handed out.
    OsValue<CommStatus> Status() {
        COMSTAT comStat{};
        CommStatus status;
        if (!ClearCommError(handle_, &status.errors, &comStat)) {
            return {{}, TransferError(GetLastError())};
        }
        status.inQueue = comStat.cbInQue;
        status.outQueue = comStat.cbOutQue;
        unreported_ |= status.errors;
        unannounced_ |= status.errors;
        return {status, {}};
    }

    const HANDLE handle_;
    std::mutex mutex_;
    DWORD readBound_ = 1000;
    OverlappedIo waitIo_;
    std::uint8_t waitByte_ = 0;
    bool waiting_ = false;
    // Taken by a wait that has ended, not yet read.
    std::optional<std::uint8_t> held_;
    OverlappedIo readIo_;
    // Line errors not yet handed out by ClearErrors, and not yet reported by a wait.
    DWORD unreported_ = 0;
    DWORD unannounced_ = 0;
};

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// Closing the device handle ends whatever is still pending on it.
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

class Win32Device final : public Device {
public:
    explicit Win32Device(UniqueHandle handle)
        : handle_(std::move(handle)), receiver_(handle_.get()) {}

    ~Win32Device() override {
        if (claimed_) {
            // Output not yet sent is dropped, as the writer's buffer is.
            PurgeComm(Handle(), PURGE_TXABORT | PURGE_TXCLEAR);
            SetCommState(Handle(), &savedState_);
            SetCommTimeouts(Handle(), &savedTimeouts_);
        }
    }

    // Saves the settings found at opening (which fails for handles that are no serial device)
    // and looks whether the line has modem-control lines.
    OsResult Claim() {
        savedState_.DCBlength = sizeof savedState_;
        if (!GetCommState(Handle(), &savedState_) || !GetCommTimeouts(Handle(), &savedTimeouts_)) {
            return LastWindowsError();
        }
        claimed_ = true;
        DWORD modemStatus = 0;
        modemLines_ = GetCommModemStatus(Handle(), &modemStatus) ||
                      ModemLineError(GetLastError()).kind != OsError::Kind::NoModemLines;
        return {};
    }

    bool HasModemLines() const override { return modemLines_; }

    OsResult ApplySettings(const LineSettings& settings) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        dcb.BaudRate = static_cast<DWORD>(settings.bitRate);
        dcb.fBinary = TRUE;
        dcb.fOutxCtsFlow = settings.outCtsFlow;
        dcb.fOutxDsrFlow = settings.outDsrFlow;
        dcb.fOutX = settings.xonXoffOut;
        dcb.fInX = settings.xonXoffIn;
        dcb.fDtrControl = static_cast<DWORD>(settings.controlDtr);
        dcb.fRtsControl = static_cast<DWORD>(settings.controlRts);
        dcb.fDsrSensitivity = settings.dsrSensitivity;
        dcb.fTXContinueOnXoff = settings.txContinueOnXoff;
        // The limits are 16-bit fields.
        dcb.XonLim = static_cast<WORD>(std::min(settings.xonLimit, 0xFFFF));
        dcb.XoffLim = static_cast<WORD>(std::min(settings.xoffLimit, 0xFFFF));
        dcb.ByteSize = static_cast<BYTE>(settings.dataBits);
        dcb.Parity = static_cast<BYTE>(settings.parity);
        dcb.StopBits = static_cast<BYTE>(settings.stopbits);
        dcb.XonChar = static_cast<char>(settings.xonChar);
        dcb.XoffChar = static_cast<char>(settings.xoffChar);
        return Checked(SetCommState(Handle(), &dcb));
    }

    OsResult SetQueueSizes(int input, int output) override {
        return Checked(SetupComm(Handle(), static_cast<DWORD>(input), static_cast<DWORD>(output)));
    }

    OsResult SetTimeouts(std::chrono::milliseconds readBound) override {
        // MAXDWORD as both the interval and the multiplier: a read returns as soon as it has
        // one byte, and at once with what the driver holds when that is something. Reads ask
        // only for what the driver holds, so only the wait for the next byte lasts, up to the
        // constant. Writes have no time-out.
        COMMTIMEOUTS timeouts{MAXDWORD, MAXDWORD, kEmptyWaitMs, 0, 0};
        receiver_.SetReadBound(static_cast<DWORD>(readBound.count()));
        return Checked(SetCommTimeouts(Handle(), &timeouts));
    }

    OsResult SetEventMask(TSerEventMask) override {
        // Nothing waits for line events with WaitCommEvent (see the top of this file); the
        // wait reports received characters and line errors whatever the mask, and the event
        // thread keeps those of its mask.
        return {};
    }

    OsValue<int> Read(std::uint8_t* buffer, int count) override {
        return receiver_.Read(buffer, count);
    }

    OsValue<int> Write(const std::uint8_t* data, int count) override {
        if (!WriteFile(Handle(), data, static_cast<DWORD>(count), nullptr, writeIo_.Start()) &&
            GetLastError() != ERROR_IO_PENDING) {
            return {0, TransferError(GetLastError())};
        }
        return Finish(Handle(), writeIo_, INFINITE, &writeWake_);
    }

    void InterruptWrite() override { writeWake_.Signal(); }

    // Line errors and a hang-up show through the wait's read, so while input is not watched
    // only the wake-up ends the wait; they show at the next wait for input.
    WaitOutcome WaitEvent(WatchFor watch) override {
        if (watch != WatchFor::InputAndLine) {
            WaitForSingleObject(EventOf(waitWake_), INFINITE);
            waitWake_.Clear();
            return WaitOutcome::Woken;
        }
        return receiver_.Wait(waitWake_);
    }

    void InterruptWait() override { waitWake_.Signal(); }

    OsValue<int> InputCount() override { return receiver_.InputCount(); }

    OsValue<std::uint32_t> ClearErrors() override { return receiver_.ClearErrors(); }

    OsResult PurgeInput() override { return receiver_.Purge(); }

    OsResult SetModemLine(ModemLine line, bool on) override {
        const DWORD function =
            line == ModemLine::Rts ? (on ? SETRTS : CLRRTS) : (on ? SETDTR : CLRDTR);
        if (!EscapeCommFunction(Handle(), function)) {
            return ModemLineError(GetLastError());
        }
        return {};
    }

    // The driver's output queue is looked at every millisecond, about one character time at
    // 9600 bit/s, until it is empty. FlushFileBuffers would also wait for the transmitter, but
    // without a time-out (under Wine it is tcdrain, which a line nobody reads holds for ever);
    // the component adds the time the last characters take on the line itself.
    OsValue<bool> Drain(std::chrono::milliseconds timeout) override {
        const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
        for (;;) {
            const OsValue<CommStatus> status = receiver_.QueryStatus();
            if (status.error) {
                return {false, status.error};
            }
            if (status.value.outQueue == 0) {
                return {true, {}};
            }
            if (GetTickCount64() >= deadline) {
                return {};
            }
            Sleep(1);
        }
    }

private:
    HANDLE Handle() const { return handle_.get(); }

    static OsResult Checked(BOOL succeeded) {
        if (!succeeded) {
            return LastWindowsError();
        }
        return {};
    }

    // Declared first: the handle closes after everything that uses it has ended.
    UniqueHandle handle_;
    DCB savedState_{};
    COMMTIMEOUTS savedTimeouts_{};
    bool claimed_ = false;
    bool modemLines_ = true;
    OverlappedIo writeIo_;
    WakeHandle writeWake_;
    WakeHandle waitWake_;
    Receiver receiver_;
};

class Win32Devices final : public DeviceFactory {
public:
    OsValue<std::unique_ptr<Device>> Open(const std::string& path) override {
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            OsError error = LastWindowsError();
            if (error.code == ERROR_FILE_NOT_FOUND || error.code == ERROR_PATH_NOT_FOUND) {
                error.kind = OsError::Kind::NotFound;
            }
            return {nullptr, error};
        }
        auto device = std::make_unique<Win32Device>(UniqueHandle(handle));
        if (OsResult error = device->Claim()) {
            return {nullptr, error};
        }
        return {std::move(device), {}};
    }
};

}  // namespace

std::shared_ptr<DeviceFactory> SystemDevices() {
    static const auto devices = std::make_shared<Win32Devices>();
    return devices;
}

}  // namespace ser::platform
