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

// What drivers of removed or unplugged ports (USB adapters above all) answer to any call, and
// what Wine answers once the other end of a pseudo-terminal has closed: a pending read ends
// with a broken pipe, every other call fails as not ready.
bool IsGone(DWORD code) {
    return code == ERROR_GEN_FAILURE || code == ERROR_NOT_READY ||
           code == ERROR_DEVICE_NOT_CONNECTED || code == ERROR_DEVICE_REMOVED ||
           code == ERROR_DEV_NOT_EXIST || code == ERROR_BROKEN_PIPE;
}

// What a removed device answers to reads, writes and status queries through a handle opened
// before it went: access denied (its removal is pending) or a request it no longer recognises
// (invalid device state). Drivers also give these for a request they do not support or refuse
// for the moment, which is why they count as a removal only for requests every port serves.
bool IsGoneForTransfers(DWORD code) {
    return code == ERROR_ACCESS_DENIED || code == ERROR_BAD_COMMAND;
}

OsError Marked(DWORD code, OsError::Kind kind) {
    OsError error = WindowsError(code);
    error.kind = kind;
    return error;
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

OsError TransferError(DWORD code) {
    return IsGoneForTransfers(code) ? Marked(code, OsError::Kind::LineGone) : WindowsError(code);
}

OsError ModemLineError(DWORD code) {
    return code == ERROR_NOT_SUPPORTED ? Marked(code, OsError::Kind::NoModemLines)
                                       : WindowsError(code);
}

}  // namespace ser::platform
