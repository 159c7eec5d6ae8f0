#include "bench/perf/row_watch.h"

#include <QEvent>
#include <QTimer>

#include "ui/string_grid.h"

namespace bench {
namespace {

constexpr std::chrono::milliseconds kPatience{2000};
// The repaint follows the handler in the same pass of the event loop or the next.
constexpr std::chrono::milliseconds kRepaintAllowance{5};

}  // namespace

RowWatch::RowWatch(ProgramUnderTest& program, const char* table) : program_(program) {
    ser::TSerComm& port = program_.Form().Port();
    port.OnRxChar = [this, inner = port.OnRxChar](ser::TSerCustomComm& sender, int count) {
        lastCall_ = Clock::now();
        if (!firstCall_) {
            firstCall_ = lastCall_;
        }
        ++handlerCalls;
        inner(sender, count);
        HandlerReturned();
    };
    program_.Find<TStringGrid>(table).viewport()->installEventFilter(this);
}

void RowWatch::Reset() {
    firstCall_.reset();
    handlerCalls = 0;
    answered_ = false;
    painted.reset();
}

void RowWatch::HandlerReturned() {
    // A complete answer starts the collection over; part of one leaves bytes counted.
    if (program_.Form().State().receive.RxCount != 0 || answered_) {
        return;
    }
    handlerEnd = Clock::now();
    handlerStart = *firstCall_;
    completingCallStart = lastCall_;
    answered_ = true;
    if (loop_ != nullptr) {
        QTimer::singleShot(kRepaintAllowance, loop_, &QEventLoop::quit);
    }
}

bool RowWatch::Await() {
    if (!answered_) {
        QEventLoop loop;
        loop_ = &loop;
        QTimer::singleShot(kPatience, &loop, &QEventLoop::quit);
        loop.exec();
        loop_ = nullptr;
    }
    return answered_;
}

bool RowWatch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && answered_ && !painted) {
        painted = Clock::now();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace bench
