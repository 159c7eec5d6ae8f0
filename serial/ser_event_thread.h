#pragma once
// The event thread: waits on the device for line events and hands each batch to the
// user-interface thread as one synchronized step, waiting until the step has run before it
// waits again.
//
// The thread may end after its owner: when the port is closed from inside the step (an
// OnRxChar handler, or a nested message loop it runs), the thread is waiting for that very
// step and cannot be joined there. Its owner then keeps it (retired) until it can be joined,
// and destroying the component inside the step detaches it. For that case everything the
// thread touches after a step lives in a block it shares, and it touches the port session only
// before it has looked at its stop request.

#include <memory>

#include "serial/ser_environment.h"
#include "serial/ser_port_session.h"
#include "serial/ser_thread.h"
#include "serial/ser_types.h"

namespace ser {

class TSerCommEventThread {
public:
    // What the synchronized step runs on the user-interface thread: received characters first,
    // then the batch's other events. The second is skipped when the first stopped the thread
    // (it closed or destroyed the component).
    struct TStep {
        std::function<void()> rxChar;
        std::function<void(TSerEventMask events)> events;
    };

    TSerCommEventThread(TSerPortSession& session, TSerEventMask mask, TSerSyncCall syncCall,
                        TSerExceptionReport report, TStep step, TThreadPriority priority);
    TSerCommEventThread(const TSerCommEventThread&) = delete;
    TSerCommEventThread& operator=(const TSerCommEventThread&) = delete;
    // Stops and joins the thread, or detaches it when its step is running on this thread.
    ~TSerCommEventThread();

    // No step runs after this, not even one already on its way: a queued step is cancelled,
    // one that has not reached the step function yet skips it.
    void Stop();
    // True while this thread's step runs on the calling (user-interface) thread.
    bool InStep() const;
    void SetPriority(TThreadPriority priority) { thread_.SetPriority(priority); }

private:
    struct Shared;
    static void Run(const std::stop_token& stop, Shared& shared);
    static void RunStep(const std::stop_token& stop, Shared& shared, TSerEventMask events);
    static void RunReported(Shared& shared, const std::function<void()>& call);
    static void Pause(const std::stop_token& stop);

    TSerPortSession& session_;
    bool stopped_ = false;
    std::shared_ptr<Shared> shared_;
    TSerThread thread_;
};

}  // namespace ser
