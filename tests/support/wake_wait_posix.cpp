#include "tests/support/wake_wait.h"

#include <poll.h>

bool WaitSignalled(std::intptr_t handle, std::chrono::milliseconds timeout) {
    pollfd p{static_cast<int>(handle), POLLIN, 0};
    return poll(&p, 1, static_cast<int>(timeout.count())) > 0;
}
