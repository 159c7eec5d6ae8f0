// Serial devices on Windows: a COM handle opened for overlapped I/O. Each kind of operation
// (reads, writes, the wait for line events) has its own OVERLAPPED and completion event, so
// they can be in progress on the handle at once, and each waits for its operation to end
// before returning, so the driver never writes into a record that is gone.

#include <windows.h>

#include <algorithm>
#include <system_error>

#include "serial/platform/device.h"
#include "serial/platform/wake_handle.h"
#include "serial/platform/win32_errors.h"

namespace ser::platform {

namespace {

HANDLE EventOf(const WakeHandle& wake) {
    return reinterpret_cast<HANDLE>(wake.NativeHandle());
}

// One OVERLAPPED with its own manual-reset completion event.
class OverlappedIo {
public:
    OverlappedIo() {
        overlapped_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (overlapped_.hEvent == nullptr) {
            throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                    "CreateEvent");
        }
    }
    OverlappedIo(const OverlappedIo&) = delete;
    OverlappedIo& operator=(const OverlappedIo&) = delete;
    ~OverlappedIo() { CloseHandle(overlapped_.hEvent); }

    // The record, ready for the next operation.
    OVERLAPPED* Start() {
        HANDLE event = overlapped_.hEvent;
        overlapped_ = OVERLAPPED{};
        overlapped_.hEvent = event;
        ResetEvent(event);
        return &overlapped_;
    }
    HANDLE Event() const { return overlapped_.hEvent; }

private:
    OVERLAPPED overlapped_{};
};

class Win32Device final : public Device {
public:
    explicit Win32Device(HANDLE handle) : handle_(handle) {}

    ~Win32Device() override {
        if (claimed_) {
            // Output not yet sent is dropped, as the writer's buffer is.
            PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR);
            SetCommState(handle_, &savedState_);
            SetCommTimeouts(handle_, &savedTimeouts_);
        }
        CloseHandle(handle_);
    }

    // Saves the settings found at opening; fails for handles that are no serial device.
    OsResult Claim() {
        savedState_.DCBlength = sizeof savedState_;
        if (!GetCommState(handle_, &savedState_) || !GetCommTimeouts(handle_, &savedTimeouts_)) {
            return LastWindowsError();
        }
        claimed_ = true;
        return {};
    }

    bool IsPseudoTerminal() const override { return false; }

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
        return Checked(SetCommState(handle_, &dcb));
    }

    OsResult SetQueueSizes(int input, int output) override {
        return Checked(SetupComm(handle_, static_cast<DWORD>(input), static_cast<DWORD>(output)));
    }

    OsResult SetTimeouts(std::chrono::milliseconds readBound) override {
        // MAXDWORD as the interval time-out and zero elsewhere: a read returns at once with
        // what the driver holds, and writes have no time-out.
        COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 0};
        readBound_ = static_cast<DWORD>(readBound.count());
        return Checked(SetCommTimeouts(handle_, &timeouts));
    }

    OsResult SetEventMask(TSerEventMask mask) override {
        mask_ = mask;
        watched_ = mask;
        return Checked(SetCommMask(handle_, mask));
    }

    OsValue<int> Read(std::uint8_t* buffer, int count) override {
        OVERLAPPED* overlapped = readIo_.Start();
        DWORD n = 0;
        if (!ReadFile(handle_, buffer, static_cast<DWORD>(count), nullptr, overlapped)) {
            if (GetLastError() != ERROR_IO_PENDING) {
                return {0, LastWindowsError()};
            }
            // The time-outs make the read complete at once; should it not, it is ended here
            // so that it cannot write into the caller's buffer later.
            if (WaitForSingleObject(readIo_.Event(), readBound_) != WAIT_OBJECT_0) {
                CancelIoEx(handle_, overlapped);
            }
        }
        if (!GetOverlappedResult(handle_, overlapped, &n, TRUE) &&
            GetLastError() != ERROR_OPERATION_ABORTED) {
            return {0, LastWindowsError()};
        }
        return {static_cast<int>(n), {}};
    }

    OsValue<int> Write(const std::uint8_t* data, int count) override {
        OVERLAPPED* overlapped = writeIo_.Start();
        if (!WriteFile(handle_, data, static_cast<DWORD>(count), nullptr, overlapped) &&
            GetLastError() != ERROR_IO_PENDING) {
            return {0, LastWindowsError()};
        }
        if (WaitForWake(writeIo_, writeWake_)) {
            CancelIoEx(handle_, overlapped);
        }
        DWORD n = 0;
        if (!GetOverlappedResult(handle_, overlapped, &n, TRUE) &&
            GetLastError() != ERROR_OPERATION_ABORTED) {
            return {0, LastWindowsError()};
        }
        return {static_cast<int>(n), {}};
    }

    void InterruptWrite() override { writeWake_.Signal(); }

    // The driver remembers the events that happened since the last wait, so a character that
    // arrived between two waits ends the next one at once.
    WaitOutcome WaitEvent(WatchFor watch) override {
        const DWORD wanted = watch == WatchFor::InputAndLine ? mask_
                             : watch == WatchFor::Line       ? (mask_ & EV_ERR)
                                                             : 0;
        if (wanted == 0) {
            WaitForSingleObject(EventOf(waitWake_), INFINITE);
            waitWake_.Clear();
            return WaitOutcome::Woken;
        }
        if (wanted != watched_) {
            if (!SetCommMask(handle_, wanted)) {
                return FailedWait();
            }
            watched_ = wanted;
            // Characters that came while input was not watched raised no event and never
            // will: collect them before waiting for the next one.
            if ((wanted & EV_RXCHAR) != 0 && InputCount().value > 0) {
                return WaitOutcome::Input;
            }
        }
        OVERLAPPED* overlapped = waitIo_.Start();
        DWORD events = 0;
        if (!WaitCommEvent(handle_, &events, overlapped)) {
            if (GetLastError() != ERROR_IO_PENDING) {
                return FailedWait();
            }
            // Setting the mask again ends a pending wait at once.
            const bool woken = WaitForWake(waitIo_, waitWake_);
            if (woken) {
                SetCommMask(handle_, watched_);
            }
            DWORD ignored = 0;
            if (!GetOverlappedResult(handle_, overlapped, &ignored, TRUE)) {
                return woken ? WaitOutcome::Woken : FailedWait();
            }
            if (woken) {
                return WaitOutcome::Woken;
            }
        }
        if ((events & EV_RXCHAR) != 0) {
            return WaitOutcome::Input;
        }
        return (events & EV_ERR) != 0 ? WaitOutcome::LineError : WaitOutcome::Woken;
    }

    void InterruptWait() override { waitWake_.Signal(); }

    OsValue<int> InputCount() override {
        COMSTAT status{};
        DWORD errors = 0;
        if (!ClearCommError(handle_, &errors, &status)) {
            return {0, LastWindowsError()};
        }
        return {static_cast<int>(status.cbInQue), {}};
    }

    OsValue<std::uint32_t> ClearErrors() override {
        COMSTAT status{};
        DWORD errors = 0;
        if (!ClearCommError(handle_, &errors, &status)) {
            return {0, LastWindowsError()};
        }
        return {errors, {}};
    }

    OsResult PurgeInput() override {
        return Checked(PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR));
    }

    OsResult SetModemLine(ModemLine line, bool on) override {
        const DWORD function =
            line == ModemLine::Rts ? (on ? SETRTS : CLRRTS) : (on ? SETDTR : CLRDTR);
        return Checked(EscapeCommFunction(handle_, function));
    }

    // FlushFileBuffers has no time-out, so it is called only once the driver's output queue
    // is empty, looked at every millisecond until then; it then waits for the last character.
    OsValue<bool> Drain(std::chrono::milliseconds timeout) override {
        const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
        for (;;) {
            COMSTAT status{};
            DWORD errors = 0;
            if (!ClearCommError(handle_, &errors, &status)) {
                return {false, LastWindowsError()};
            }
            if (status.cbOutQue == 0) {
                break;
            }
            if (GetTickCount64() >= deadline) {
                return {};
            }
            Sleep(1);
        }
        if (!FlushFileBuffers(handle_)) {
            return {false, LastWindowsError()};
        }
        return {true, {}};
    }

private:
    static WaitOutcome FailedWait() {
        return LastWindowsError().kind == OsError::Kind::LineGone ? WaitOutcome::LineGone
                                                                  : WaitOutcome::Failed;
    }

    static OsResult Checked(BOOL succeeded) {
        if (!succeeded) {
            return LastWindowsError();
        }
        return {};
    }

    // Waits for the operation on `io` or for `wake`; true (with the wake-up consumed) when the
    // wake-up came first.
    static bool WaitForWake(OverlappedIo& io, WakeHandle& wake) {
        HANDLE events[2] = {io.Event(), EventOf(wake)};
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            wake.Clear();
            return true;
        }
        return false;
    }

    HANDLE handle_;
    DCB savedState_{};
    COMMTIMEOUTS savedTimeouts_{};
    bool claimed_ = false;
    DWORD readBound_ = 1000;
    DWORD mask_ = 0;
    DWORD watched_ = 0;
    OverlappedIo readIo_;
    OverlappedIo writeIo_;
    OverlappedIo waitIo_;
    WakeHandle writeWake_;
    WakeHandle waitWake_;
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
        std::unique_ptr<Win32Device> device;
        try {
            device = std::make_unique<Win32Device>(handle);
        } catch (...) {
            CloseHandle(handle);
            throw;
        }
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
