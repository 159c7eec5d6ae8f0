#include "serial/platform/thread_priority.h"

#include <windows.h>

namespace ser::platform {

ThreadId CurrentThreadId() noexcept {
    return static_cast<ThreadId>(GetCurrentThreadId());
}

void ApplyThreadPriority(ThreadId thread, TThreadPriority priority) noexcept {
    HANDLE handle = OpenThread(THREAD_SET_INFORMATION, FALSE, static_cast<DWORD>(thread));
    if (handle == nullptr) {
        return;
    }
    // The priority levels are the Windows thread priority values.
    SetThreadPriority(handle, static_cast<int>(priority));
    CloseHandle(handle);
}

}  // namespace ser::platform
