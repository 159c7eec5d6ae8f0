#pragma once
// SIGTERM and SIGINT end the simulator cleanly. They stay blocked except while it waits in ppoll,
// so a signal either interrupts that wait or is delivered at the next one, never lost in between.
// SIGPIPE is ignored: a reader of the standard output that goes away must not kill the simulator.

#include <csignal>

namespace sim {

class TerminationSignals {
public:
    TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;
    ~TerminationSignals();

    // The mask to wait with: the one before, with the two signals open.
    const sigset_t* WaitMask() const { return &waitMask_; }
    bool Raised() const;

private:
    sigset_t previousMask_{};
    sigset_t waitMask_{};
    struct sigaction previousTerm_ {};
    struct sigaction previousInt_ {};
    struct sigaction previousPipe_ {};
};

}  // namespace sim
