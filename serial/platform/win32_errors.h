#pragma once
// Windows error codes as the platform layer reports them.

// The component's headers come before <windows.h>, which defines the same EV_ event bits as
// macros.
#include "serial/platform/device.h"

#include <windows.h>

namespace ser::platform {

// The error of `code` with the system's text for it; codes a removed or hung-up device gives
// are marked LineGone.
OsError WindowsError(DWORD code);
// The same for GetLastError().
OsError LastWindowsError();

// The failure `code` of a read, a write or a status query on a device that opened fine. Every
// serial driver serves these, so besides the codes of WindowsError, a refusal of access or of
// the request itself means the device is gone.
OsError TransferError(DWORD code);

// The failure `code` of a call that moves or reads the modem-control lines: a driver that has
// none (a pseudo-terminal under Wine) refuses it as not supported.
OsError ModemLineError(DWORD code);

}  // namespace ser::platform
