#pragma once
// Formatting the component's messages and raising failed system calls as its error.

#include <cstdio>
#include <string>

#include "serial/platform/device.h"

namespace ser {

// printf-style formatting of one of the component's messages.
template <typename... Args>
std::string FormatText(const char* format, Args... args) {
    const int length = std::snprintf(nullptr, 0, format, args...);
    std::string message(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    std::snprintf(message.data(), message.size() + 1, format, args...);
    return message;
}

// Raises ESerCommError with `format`, a message with one %d (the system's error code) followed
// by one %s (its text), such as "Error writing dcb (%d), %s".
[[noreturn]] void RaiseOsError(const char* format, const platform::OsError& error);

}  // namespace ser
