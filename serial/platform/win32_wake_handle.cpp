#include "serial/platform/wake_handle.h"

#include <windows.h>

#include <system_error>

namespace ser::platform {

namespace {

HANDLE EventOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

WakeHandle::WakeHandle() {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (event == nullptr) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "CreateEvent");
    }
    waitable_ = signaller_ = reinterpret_cast<std::intptr_t>(event);
}

WakeHandle::~WakeHandle() {
    CloseHandle(EventOf(waitable_));
}

void WakeHandle::Signal() noexcept {
    SetEvent(EventOf(signaller_));
}

void WakeHandle::Clear() noexcept {
    ResetEvent(EventOf(waitable_));
}

std::intptr_t WakeHandle::NativeHandle() const noexcept {
    return waitable_;
}

}  // namespace ser::platform
