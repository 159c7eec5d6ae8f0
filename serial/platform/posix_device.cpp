// Serial devices on POSIX: a tty opened non-blocking, waits through poll() with an eventfd (or
// pipe) beside the device so that another thread can end them.

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <thread>

#if __has_include(<linux/serial.h>)
#include <linux/serial.h>
#endif

#include "serial/platform/device.h"
#include "serial/platform/posix_errors.h"
#include "serial/platform/posix_line_settings.h"
#include "serial/platform/wake_handle.h"

namespace ser::platform {

namespace {

template <typename Call>
int RetryInterrupted(Call call) {
    int result = 0;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

// Waits on `fd` for `events` (fd -1: not at all) and on `wake`. Returns the device's events,
// or -1 when the wake-up came (and was consumed) first.
int PollWithWake(int fd, short events, WakeHandle& wake) {
    pollfd fds[2] = {{fd, events, 0}, {static_cast<int>(wake.NativeHandle()), POLLIN, 0}};
    if (RetryInterrupted([&] { return poll(fds, 2, -1); }) < 0) {
        return POLLERR;
    }
    if (fds[1].revents != 0) {
        wake.Clear();
        return -1;
    }
    return fds[0].revents;
}

constexpr short kHangUpEvents = POLLHUP | POLLERR | POLLNVAL;

// Pseudo-terminal slaves live under /dev/pts on the systems that have one.
bool IsPtySlave(int fd) {
    char name[256] = {};
    return ttyname_r(fd, name, sizeof name) == 0 && std::string_view(name).starts_with("/dev/pts/");
}

// A serial driver that has a node for a port without a UART behind it (the kernel's ttyS
// nodes beyond the ports found at boot).
bool IsEmptyUartSlot([[maybe_unused]] int fd) {
#if defined(TIOCGSERIAL) && defined(PORT_UNKNOWN)
    serial_struct info{};
    return ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type == PORT_UNKNOWN;
#else
    return false;
#endif
}

// What a node without a working device answers when it is opened or first used.
bool IsMissingDevice(int code) {
    return code == ENOENT || code == EIO || code == ENXIO || code == ENODEV;
}

class PosixDevice final : public Device {
public:
    explicit PosixDevice(int fd) : fd_(fd) {}

    ~PosixDevice() override {
        if (claimed_) {
            // Closing a tty waits for its output to drain (up to 30 s by default); output not
            // yet sent is dropped anyway.
            tcflush(fd_, TCOFLUSH);
            tcsetattr(fd_, TCSANOW, &saved_);
#ifdef TIOCNXCL
            ioctl(fd_, TIOCNXCL);
#endif
        }
        // No retry on EINTR: the descriptor is released even when close() reports it.
        close(fd_);
    }

    // Takes the device for this process: saves its settings, then makes it exclusive.
    OsResult Claim() {
        if (tcgetattr(fd_, &saved_) != 0) {
            return LastErrnoError();
        }
        pseudoTerminal_ = IsPtySlave(fd_);
        // TIOCEXCL does not hold back root, so a cooperative lock guards against other
        // programs too.
        if (RetryInterrupted([&] { return flock(fd_, LOCK_EX | LOCK_NB); }) != 0) {
            return LastErrnoError();
        }
#ifdef TIOCEXCL
        if (ioctl(fd_, TIOCEXCL) != 0) {
            return LastErrnoError();
        }
#endif
        claimed_ = true;
        return {};
    }

    bool HasModemLines() const override {
        return !pseudoTerminal_;
    }

    OsResult ApplySettings(const LineSettings& settings) override {
        termios tio{};
        if (tcgetattr(fd_, &tio) != 0) {
            return LastErrnoError();
        }
        if (!ToTermios(settings, tio)) {
            return ErrnoError(EINVAL);
        }
        if (RetryInterrupted([&] { return tcsetattr(fd_, TCSANOW, &tio); }) != 0) {
            return LastErrnoError();
        }
        // Applying the settings puts DTR and RTS where their control settings say, as the
        // device settings do on other systems; afterwards only SetModemLine moves them.
        if (auto error = SetModemLine(ModemLine::Dtr, settings.controlDtr == dtrEnabled)) {
            return error;
        }
        return SetModemLine(ModemLine::Rts, settings.controlRts == rtsEnabled);
    }

    OsResult SetQueueSizes(int, int) override {
        // The kernel's tty buffers have fixed sizes.
        return {};
    }

    OsResult SetTimeouts(std::chrono::milliseconds) override {
        // Reads never wait on a non-blocking descriptor with VMIN = VTIME = 0, so no read is
        // ever left pending.
        termios tio{};
        if (tcgetattr(fd_, &tio) != 0) {
            return LastErrnoError();
        }
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        if (RetryInterrupted([&] { return tcsetattr(fd_, TCSANOW, &tio); }) != 0) {
            return LastErrnoError();
        }
        return {};
    }

    OsResult SetEventMask(TSerEventMask) override {
        // poll() reports input and hang-up whatever is asked; the event thread keeps only the
        // events of its mask.
        return {};
    }

    OsValue<int> Read(std::uint8_t* buffer, int count) override {
        const ssize_t n =
            RetryInterrupted([&] { return static_cast<int>(read(fd_, buffer, Size(count))); });
        if (n >= 0) {
            // With VMIN = VTIME = 0 a read of 0 just means "no data"; a hang-up shows in
            // poll() or as EIO.
            return {static_cast<int>(n), {}};
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return {};
        }
        return {0, LastErrnoError()};
    }

    OsValue<int> Write(const std::uint8_t* data, int count) override {
        for (;;) {
            const int n =
                RetryInterrupted([&] { return static_cast<int>(write(fd_, data, Size(count))); });
            if (n > 0) {
                return {n, {}};
            }
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                return {0, LastErrnoError()};
            }
            const int events = PollWithWake(fd_, POLLOUT, writeWake_);
            if (events < 0) {
                return {};
            }
            if ((events & POLLOUT) == 0 && (events & kHangUpEvents) != 0) {
                return {0, ErrnoError(EIO)};
            }
        }
    }

    void InterruptWrite() override {
        writeWake_.Signal();
    }

    // poll() is level-triggered: bytes that arrived since the last read keep the device
    // readable, so nothing that came between two waits is missed. The caller moves what the
    // driver holds into its own queue before waiting, so bytes it leaves unread do not make
    // the next wait return at once.
    WaitOutcome WaitEvent(WatchFor watch) override {
        const int fd = watch == WatchFor::Nothing ? -1 : fd_;
        const short events = watch == WatchFor::InputAndLine ? POLLIN : 0;
        const int revents = PollWithWake(fd, events, waitWake_);
        if (revents < 0) {
            return WaitOutcome::Woken;
        }
        // Looked at before POLLIN: a hung-up tty (an unplugged USB adapter, a pseudo-terminal
        // whose master closed) reports POLLIN together with POLLHUP and then reads 0 bytes
        // for ever, which would look like input that never comes.
        if ((revents & kHangUpEvents) != 0) {
            return WaitOutcome::LineGone;
        }
        if ((revents & POLLIN) != 0) {
            return WaitOutcome::Input;
        }
        return WaitOutcome::Woken;
    }

    void InterruptWait() override {
        waitWake_.Signal();
    }

    OsValue<int> InputCount() override {
        int count = 0;
        if (ioctl(fd_, FIONREAD, &count) != 0) {
            return {0, LastErrnoError()};
        }
        return {count, {}};
    }

    OsValue<std::uint32_t> ClearErrors() override {
        // With INPCK off the tty layer keeps no line-error flags: there is nothing to clear.
        return {};
    }

    OsResult PurgeInput() override {
        if (tcflush(fd_, TCIFLUSH) != 0) {
            return LastErrnoError();
        }
        return {};
    }

    OsResult SetModemLine(ModemLine line, bool on) override {
        int bits = line == ModemLine::Rts ? TIOCM_RTS : TIOCM_DTR;
        if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) == 0) {
            return {};
        }
        OsError error = LastErrnoError();
        // Drivers without modem-control lines (pseudo-terminals, some USB adapters) refuse
        // with ENOTTY or EINVAL; whether that matters is the component's decision.
        if (error.code == ENOTTY || error.code == EINVAL) {
            error.kind = OsError::Kind::NoModemLines;
        }
        return error;
    }

    // The tty layer offers no drain with a time-out (tcdrain blocks for as long as the line is
    // held), so the output queue is looked at every millisecond, about one character time at
    // 9600 bit/s.
    OsValue<bool> Drain(std::chrono::milliseconds timeout) override {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            int pending = 0;
            if (ioctl(fd_, TIOCOUTQ, &pending) != 0) {
                return {false, LastErrnoError()};
            }
            if (pending == 0 && TransmitterEmpty()) {
                return {true, {}};
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return {};
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

private:
    static std::size_t Size(int count) {
        return count > 0 ? static_cast<std::size_t>(count) : 0;
    }

    // The last character leaves the UART's shift register after the driver's queue is empty.
    bool TransmitterEmpty() {
#ifdef TIOCSERGETLSR
        unsigned int status = 0;
        if (ioctl(fd_, TIOCSERGETLSR, &status) == 0) {
            return (status & TIOCSER_TEMT) != 0;
        }
#endif
        // Drivers without that register (pseudo-terminals, many USB adapters) count as drained
        // once their queue is empty.
        return true;
    }

    int fd_;
    termios saved_{};
    bool claimed_ = false;
    bool pseudoTerminal_ = false;
    WakeHandle writeWake_;
    WakeHandle waitWake_;
};

class PosixDevices final : public DeviceFactory {
public:
    OsValue<std::unique_ptr<Device>> Open(const std::string& path) override {
        const int fd = RetryInterrupted(
            [&] { return open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
        if (fd < 0) {
            return {nullptr, OpenError(LastErrnoError())};
        }
        std::unique_ptr<PosixDevice> device;
        try {
            device = std::make_unique<PosixDevice>(fd);
        } catch (...) {
            close(fd);
            throw;
        }
        if (auto error = device->Claim()) {
            return {nullptr, OpenError(*error)};
        }
        if (IsEmptyUartSlot(fd)) {
            return {nullptr, OpenError(ErrnoError(ENXIO))};
        }
        return {std::move(device), {}};
    }

private:
    // A node that exists without hardware behind it (COM7 on a machine with two UARTs: the
    // node is there, the port is not) fails with EIO or ENXIO: for the operator that port is
    // not there at all.
    static OsError OpenError(OsError error) {
        if (IsMissingDevice(error.code)) {
            error.kind = OsError::Kind::NotFound;
        }
        return error;
    }
};

}  // namespace

std::shared_ptr<DeviceFactory> SystemDevices() {
    static const auto devices = std::make_shared<PosixDevices>();
    return devices;
}

}  // namespace ser::platform
