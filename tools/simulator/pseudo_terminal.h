#pragma once
// A new pseudo-terminal: its master side, in raw mode and non-blocking, for the simulator, and the
// path of its slave side for the program. Closing it hangs the slave side up.

#include <string>

#include "unique_fd.h"

namespace sim {

class PseudoTerminal {
public:
    PseudoTerminal();  // throws std::system_error

    int Master() const { return master_.Get(); }
    const std::string& SlavePath() const { return slavePath_; }

private:
    UniqueFd master_;
    std::string slavePath_;
    // Held open so that the master never reports a hang-up while nobody else has the slave open:
    // Linux does that on every poll then, which would make the wait spin.
    UniqueFd slaveHolder_;
};

}  // namespace sim
