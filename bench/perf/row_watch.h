#pragma once
// Watches the answers of the program under test being written into a table: when the
// received-characters handler that completed an answer began and returned, and when the table
// was painted after it.

#include <QEventLoop>
#include <QObject>
#include <chrono>
#include <optional>

#include "bench/perf/program_under_test.h"

namespace bench {

class RowWatch : public QObject {
public:
    using Clock = std::chrono::steady_clock;

    // `table` is the objectName of the table the answers go to.
    RowWatch(ProgramUnderTest& program, const char* table);

    // Forgets the last answer; call before the next one is on its way.
    void Reset();
    // Runs the event loop until an answer has been handled and a few milliseconds more, in which
    // the table is repainted; false when no answer came in time.
    bool Await();

    // First handler call since Reset, the start and the return of the one that completed the
    // answer, the first paint of the table after that; handler calls since Reset.
    Clock::time_point handlerStart;
    Clock::time_point completingCallStart;
    Clock::time_point handlerEnd;
    std::optional<Clock::time_point> painted;
    int handlerCalls = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HandlerReturned();

    ProgramUnderTest& program_;
    std::optional<Clock::time_point> firstCall_;
    Clock::time_point lastCall_;
    bool answered_ = false;
    QEventLoop* loop_ = nullptr;
};

}  // namespace bench
