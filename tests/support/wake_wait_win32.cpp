#include "tests/support/wake_wait.h"

#include <windows.h>

bool WaitSignalled(std::intptr_t handle, std::chrono::milliseconds timeout) {
    return WaitForSingleObject(reinterpret_cast<HANDLE>(handle),
                               static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}
