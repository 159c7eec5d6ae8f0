#pragma once
// errno values as the platform layer reports them.

#include "serial/platform/device.h"

namespace ser::platform {

// The error of `code` with its system text; hang-up codes are marked LineGone.
OsError ErrnoError(int code);
// The same for the current errno.
OsError LastErrnoError();

}  // namespace ser::platform
