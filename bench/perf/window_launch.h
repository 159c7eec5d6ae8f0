#pragma once
// The parent side of the window child (window_child.cpp): starts it offscreen and waits until it
// has shown its window and settled.

#include <memory>
#include <optional>
#include <string>

#include "bench/perf/child_process.h"

namespace bench {

struct LaunchedWindow {
    std::unique_ptr<ChildProcess> process;
    double toMainMs = 0;   // process creation to main(): loading and linking
    double toShownMs = 0;  // process creation to the first event-loop pass
    double rssMiB = 0;     // resident memory at idle
};

// `portPath` is what COM1 opens (the program only). Prints why and returns none when the child
// does not report in time.
std::optional<LaunchedWindow> LaunchWindow(bool program, const std::string& portPath);

}  // namespace bench
