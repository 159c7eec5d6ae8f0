#include <string>

#include "serial/platform/device_path.h"

namespace ser::platform {

// Every supported Windows is of the NT family, where "\\.\" opens a name in the device
// namespace; that is what makes "COM10" and above openable. A name that already carries the
// prefix keeps it.
std::string DevicePath(const std::string& displayName) {
    const std::string prefix = "\\\\.\\";
    return displayName.compare(0, prefix.size(), prefix) == 0 ? displayName : prefix + displayName;
}

}  // namespace ser::platform
