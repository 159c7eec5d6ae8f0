#pragma once
// Sleeping until a moment that must have passed when the sleep ends, as the hold of a modem line
// needs: one sleep may end a little early on Windows, where MinGW's sleeps count in the system
// timer's whole milliseconds.

#include <chrono>
#include <thread>

namespace ser {

inline void SleepUntil(std::chrono::steady_clock::time_point deadline) {
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_until(deadline);
    }
}

}  // namespace ser
