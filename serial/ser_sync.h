#pragma once
// The component's locks and the conditions its threads wait on, mapped to the standard
// library: a critical section is a mutex; a wait event is a condition variable whose waits can
// also be ended through a std::stop_token.

#include <condition_variable>
#include <mutex>

namespace ser {

using TSerCriticalSection = std::mutex;
using TSerWaitEvent = std::condition_variable_any;

}  // namespace ser
