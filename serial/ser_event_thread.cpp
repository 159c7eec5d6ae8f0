#include "serial/ser_event_thread.h"

#include <utility>

namespace ser {

struct TSerCommEventThread::Shared {
    TSerPortSession* session;
    TSerEventMask mask;
    TSerSyncCall syncCall;
    TSerExceptionReport report;
    TStep step;
    // User-interface thread only.
    bool inStep = false;
};

TSerCommEventThread::TSerCommEventThread(TSerPortSession& session, TSerEventMask mask,
                                         TSerSyncCall syncCall, TSerExceptionReport report,
                                         TStep step, TThreadPriority priority)
    : session_(session),
      shared_(std::make_shared<Shared>(
          Shared{&session, mask, std::move(syncCall), std::move(report), std::move(step)})),
      thread_(priority, [shared = shared_](std::stop_token stop) { Run(stop, *shared); }) {}

TSerCommEventThread::~TSerCommEventThread() {
    Stop();
    if (InStep()) {
        thread_.Detach();
    }
}

void TSerCommEventThread::Stop() {
    // Only the first Stop may touch the session: a retired thread outlives it.
    if (stopped_) {
        return;
    }
    stopped_ = true;
    thread_.RequestStop();
    session_.Device().InterruptWait();
}

bool TSerCommEventThread::InStep() const {
    return shared_->inStep;
}

void TSerCommEventThread::Run(const std::stop_token& stop, Shared& shared) {
    bool lineError = false;
    bool goneReported = false;
    while (!stop.stop_requested()) {
        TSerPortSession& session = *shared.session;
        TSerEventMask events = 0;
        if (session.Fill() > 0) {
            events |= EV_RXCHAR;
        }
        // A dead device is reported once; after that nothing about it changes until Close.
        if (lineError || (session.Dead() && !goneReported)) {
            events |= EV_ERR;
            lineError = false;
            goneReported = session.Dead();
        }
        events &= shared.mask;
        if (events != 0) {
            RunStep(stop, shared, events);
            continue;
        }
        const platform::WatchFor watch = session.Dead()        ? platform::WatchFor::Nothing
                                         : session.InputFull() ? platform::WatchFor::Line
                                                               : platform::WatchFor::InputAndLine;
        switch (session.Device().WaitEvent(watch)) {
            case platform::WaitOutcome::LineError:
                lineError = true;
                break;
            case platform::WaitOutcome::LineGone:
                session.MarkDead();
                break;
            case platform::WaitOutcome::Input:
            case platform::WaitOutcome::Woken:
                break;
        }
    }
}

void TSerCommEventThread::RunStep(const std::stop_token& stop, Shared& shared,
                                  TSerEventMask events) {
    shared.syncCall(
        [&] {
            if (stop.stop_requested()) {
                return;
            }
            shared.inStep = true;
            try {
                shared.step(events);
            } catch (...) {
                try {
                    shared.report(std::current_exception());
                } catch (...) {
                    // The error report itself failed; the thread goes on regardless.
                }
            }
            shared.inStep = false;
        },
        stop);
}

}  // namespace ser
