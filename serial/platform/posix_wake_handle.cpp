#include "serial/platform/wake_handle.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

#if __has_include(<sys/eventfd.h>)
#include <sys/eventfd.h>
#endif

namespace ser::platform {

namespace {

[[noreturn]] void ThrowErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

#ifdef EFD_CLOEXEC

WakeHandle::WakeHandle() {
    const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0) {
        ThrowErrno("eventfd");
    }
    waitable_ = signaller_ = fd;
}

WakeHandle::~WakeHandle() {
    close(static_cast<int>(waitable_));
}

void WakeHandle::Signal() noexcept {
    const std::uint64_t one = 1;
    // EAGAIN means the counter is already saturated, which still reads as signalled.
    while (write(static_cast<int>(signaller_), &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void WakeHandle::Clear() noexcept {
    std::uint64_t count = 0;
    while (read(static_cast<int>(waitable_), &count, sizeof count) < 0 && errno == EINTR) {
    }
}

#else

WakeHandle::WakeHandle() {
    int fds[2];
    if (pipe(fds) != 0) {
        ThrowErrno("pipe");
    }
    for (int fd : fds) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    waitable_ = fds[0];
    signaller_ = fds[1];
}

WakeHandle::~WakeHandle() {
    close(static_cast<int>(waitable_));
    close(static_cast<int>(signaller_));
}

void WakeHandle::Signal() noexcept {
    const char one = 1;
    // A full pipe (EAGAIN) is already readable.
    while (write(static_cast<int>(signaller_), &one, 1) < 0 && errno == EINTR) {
    }
}

void WakeHandle::Clear() noexcept {
    char drain[64];
    for (;;) {
        const ssize_t n = read(static_cast<int>(waitable_), drain, sizeof drain);
        if (n <= 0 && !(n < 0 && errno == EINTR)) {
            return;
        }
    }
}

#endif

std::intptr_t WakeHandle::NativeHandle() const noexcept {
    return waitable_;
}

}  // namespace ser::platform
