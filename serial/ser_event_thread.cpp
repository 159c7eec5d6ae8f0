#include "serial/ser_event_thread.h"

#include <chrono>
#include <thread>
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
        const platform::OsValue<int> filled = session.Fill();
        if (filled.value > 0) {
            events |= kEvRxChar;
        }
        // A read that failed on a device still there is reported as a line error and tried
        // again after a pause.
        const bool readFailed = filled.error && !session.Dead();
        lineError = lineError || readFailed;
        // A dead device is reported once; after that nothing about it changes until Close.
        if (lineError || (session.Dead() && !goneReported)) {
            events |= kEvErr;
            lineError = false;
            goneReported = session.Dead();
        }
        events &= shared.mask;
        if (events != 0) {
            RunStep(stop, shared, events);
        }
        if (readFailed) {
            Pause(stop);
        }
        if (events != 0 || readFailed) {
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
            case platform::WaitOutcome::Failed:
                Pause(stop);
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
            if ((events & kEvRxChar) != 0) {
                RunReported(shared, shared.step.rxChar);
            }
            // The handler may have closed or destroyed the component: then nothing of it is
            // touched any more.
            if (const TSerEventMask others = events & ~kEvRxChar;
                others != 0 && !stop.stop_requested()) {
                RunReported(shared, [&] { shared.step.events(others); });
            }
            shared.inStep = false;
        },
        stop);
}

void TSerCommEventThread::RunReported(Shared& shared, const std::function<void()>& call) {
    try {
        call();
    } catch (...) {
        try {
            shared.report(std::current_exception());
        } catch (...) {
            // The error report itself failed; the thread goes on regardless.
        }
    }
}

void TSerCommEventThread::Pause(const std::stop_token& stop) {
    // Only the stop ends the pause early: a wait that keeps failing must not keep a thread of
    // the highest priority busy. A thread that outlives its owner has nobody to wake it, so it
    // looks at the stop.
    const auto end = std::chrono::steady_clock::now() + kFailurePause;
    while (!stop.stop_requested() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(kStopPoll);
    }
}

}  // namespace ser
