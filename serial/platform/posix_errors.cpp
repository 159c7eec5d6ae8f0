#include "serial/platform/posix_errors.h"

#include <cerrno>
#include <cstring>

namespace ser::platform {

namespace {

// strerror_r comes in two flavours: GNU returns the text, XSI fills the buffer and returns 0.
[[maybe_unused]] const char* TextOf(const char* text, const char*) {
    return text;
}
[[maybe_unused]] const char* TextOf(int, const char* buffer) {
    return buffer;
}

bool IsHangUp(int code) {
    return code == EIO || code == ENXIO || code == ENODEV || code == EPIPE;
}

}  // namespace

OsError ErrnoError(int code) {
    char buffer[256] = {};
    OsError error;
    error.code = code;
    error.text = TextOf(strerror_r(code, buffer, sizeof buffer), buffer);
    if (IsHangUp(code)) {
        error.kind = OsError::Kind::LineGone;
    }
    return error;
}

OsError LastErrnoError() {
    return ErrnoError(errno);
}

}  // namespace ser::platform
