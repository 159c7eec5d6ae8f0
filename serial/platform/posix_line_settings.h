#pragma once
// The component's line settings as a raw-mode termios.

#include <termios.h>

#include "serial/platform/device.h"

namespace ser::platform {

// Rewrites `tio` (as read from the device) for `settings`: raw mode, reads that never wait,
// receiver on, modem-control lines ignored. False when the settings have no termios
// equivalent (a bit rate without a speed constant, 4 data bits, mark or space parity where the
// system lacks it).
bool ToTermios(const LineSettings& settings, termios& tio);

}  // namespace ser::platform
