#include "serial/platform/win32_errors.h"

#include <string>

namespace ser::platform {

namespace {

std::string SystemText(DWORD code) {
    char buffer[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

// What drivers of removed or unplugged ports (USB adapters above all) answer. Not among them:
// ERROR_ACCESS_DENIED and ERROR_BAD_COMMAND, which drivers also give for a request they do not
// support or refuse for the moment on a port that is still there.
bool IsGone(DWORD code) {
    return code == ERROR_GEN_FAILURE || code == ERROR_DEVICE_NOT_CONNECTED ||
           code == ERROR_DEVICE_REMOVED;
}

}  // namespace

OsError WindowsError(DWORD code) {
    OsError error;
    error.code = static_cast<int>(code);
    error.text = SystemText(code);
    if (IsGone(code)) {
        error.kind = OsError::Kind::LineGone;
    }
    return error;
}

OsError LastWindowsError() {
    return WindowsError(GetLastError());
}

}  // namespace ser::platform
