#pragma once
// A wake-up handle that one thread signals and another waits on together with other handles
// (an eventfd or a pipe on POSIX, a manual-reset event on Windows). Signals do not count: any
// number of them before a Clear wake the waiter once.

#include <cstdint>

namespace ser::platform {

class WakeHandle {
public:
    WakeHandle();
    WakeHandle(const WakeHandle&) = delete;
    WakeHandle& operator=(const WakeHandle&) = delete;
    ~WakeHandle();

    // Any thread.
    void Signal() noexcept;
    // The waiting thread, before it looks at what the signal announced.
    void Clear() noexcept;
    // The descriptor (POSIX) or HANDLE (Windows) that becomes readable / signalled.
    std::intptr_t NativeHandle() const noexcept;

private:
    std::intptr_t waitable_;
    std::intptr_t signaller_;
};

}  // namespace ser::platform
