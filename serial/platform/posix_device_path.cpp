#include <cstdlib>
#include <optional>
#include <string>

#include "serial/platform/device_path.h"

namespace ser::platform {

namespace {

// n of a display name "COMn" with n >= 1 written without leading zeros.
std::optional<int> ComNumber(const std::string& displayName) {
    const std::string prefix = "COM";
    if (displayName.size() <= prefix.size() || displayName.size() > prefix.size() + 9 ||
        displayName.compare(0, prefix.size(), prefix) != 0 || displayName[prefix.size()] == '0') {
        return std::nullopt;
    }
    int number = 0;
    for (std::size_t i = prefix.size(); i < displayName.size(); ++i) {
        const char c = displayName[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

std::string DevicePath(const std::string& displayName) {
    const std::optional<int> number = ComNumber(displayName);
    if (!number) {
        return displayName;
    }
    if (const char* configured = std::getenv(("TENSOVIA_" + displayName).c_str());
        configured != nullptr && *configured != '\0') {
        return configured;
    }
    return "/dev/ttyS" + std::to_string(*number - 1);
}

}  // namespace ser::platform
