#include "termination_signals.h"

namespace sim {

namespace {

// A signal handler can reach nothing but a static flag.
volatile std::sig_atomic_t raised = 0;

void OnSignal(int) {
    raised = 1;
}

}  // namespace

TerminationSignals::TerminationSignals() {
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigprocmask(SIG_BLOCK, &blocked, &previousMask_);
    waitMask_ = previousMask_;
    sigdelset(&waitMask_, SIGTERM);
    sigdelset(&waitMask_, SIGINT);

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, &previousTerm_);
    sigaction(SIGINT, &action, &previousInt_);
    action.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &action, &previousPipe_);
}

TerminationSignals::~TerminationSignals() {
    sigaction(SIGPIPE, &previousPipe_, nullptr);
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
    sigprocmask(SIG_SETMASK, &previousMask_, nullptr);
}

bool TerminationSignals::Raised() const {
    return raised != 0;
}

}  // namespace sim
