#pragma once
// The operating-system device path a display name such as "COM1" opens (also shown on the port
// tab).

#include <string>

namespace ser::platform {

std::string DevicePath(const std::string& displayName);

}  // namespace ser::platform
