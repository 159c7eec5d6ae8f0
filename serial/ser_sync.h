#pragma once
// The component's locks and the conditions its threads wait on, mapped to the standard
// library: a critical section is a mutex; a wait event is a condition variable on it (how a stop
// ends a wait: ser_thread.h).

#include <condition_variable>
#include <mutex>

namespace ser {

using TSerCriticalSection = std::mutex;
using TSerWaitEvent = std::condition_variable;

}  // namespace ser
