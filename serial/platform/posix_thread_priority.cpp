#include "serial/platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace ser::platform {

namespace {

// Niceness of a priority level. Normal time-sharing threads have no priority of their own on
// POSIX, but Linux gives every thread its own niceness.
int NicenessOf(TThreadPriority priority) {
    switch (priority) {
        case tpIdle:
            return 19;
        case tpLowest:
            return 10;
        case tpLower:
            return 5;
        case tpNormal:
            return 0;
        case tpHigher:
            return -5;
        case tpHighest:
            return -10;
        case tpTimeCritical:
            return -20;
    }
    return 0;
}

}  // namespace

ThreadId CurrentThreadId() noexcept {
#ifdef SYS_gettid
    return static_cast<ThreadId>(syscall(SYS_gettid));
#else
    return 0;
#endif
}

void ApplyThreadPriority(ThreadId thread, TThreadPriority priority) noexcept {
#ifdef SYS_gettid
    // Raising a priority needs CAP_SYS_NICE; without it the call fails and the thread keeps
    // its niceness, which is acceptable for a best-effort priority.
    setpriority(PRIO_PROCESS, static_cast<id_t>(thread), NicenessOf(priority));
#else
    (void)thread;
    (void)priority;
#endif
}

}  // namespace ser::platform
