#pragma once
// Windows error codes as the platform layer reports them.

// The component's headers come before <windows.h>, which defines the same EV_ event bits as
// macros.
#include "serial/platform/device.h"

#include <windows.h>

namespace ser::platform {

// The error of `code` with the system's text for it; codes a removed device gives are marked
// LineGone.
OsError WindowsError(DWORD code);
// The same for GetLastError().
OsError LastWindowsError();

}  // namespace ser::platform
