#pragma once
// The program's main window in this process, shown as main() shows it, with COM1 on a given
// device path and the operating system's devices wrapped for time stamps.

#include <QPushButton>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "bench/perf/timed_devices.h"

namespace bench {

class ProgramUnderTest {
public:
    explicit ProgramUnderTest(const std::string& com1Path);
    ~ProgramUnderTest();

    TForm1& Form() { return *form_; }
    const TimedDevices& Devices() const { return *devices_; }
    // A control by its objectName.
    template <typename Control>
    Control& Find(const char* name) {
        return *form_->findChild<Control*>(QLatin1String(name));
    }

private:
    std::shared_ptr<TimedDevices> devices_ = std::make_shared<TimedDevices>();
    std::unique_ptr<TForm1> form_;
};

}  // namespace bench
