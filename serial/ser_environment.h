#pragma once
// What the serial-port component needs from the application around it.

#include <exception>
#include <functional>
#include <memory>
#include <stop_token>

namespace ser {

// Runs `call` on the user-interface thread and blocks the calling thread until it has run
// (result true) or until `cancel` was requested before the call started (result false). A call
// that has started always runs to its end before this returns.
using TSerSyncCall = std::function<bool(const std::function<void()>& call, std::stop_token cancel)>;

// Hands an exception that escaped one of the component's event handlers to the application's
// default error report. Called on the user-interface thread.
using TSerExceptionReport = std::function<void(std::exception_ptr error)>;

namespace platform {
class DeviceFactory;
}

struct TSerEnvironment {
    TSerSyncCall syncCall;
    TSerExceptionReport reportException;
    // Null: the operating system's serial devices. Tests hand in a fake.
    std::shared_ptr<platform::DeviceFactory> devices;
};

}  // namespace ser
