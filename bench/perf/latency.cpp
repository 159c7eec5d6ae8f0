// (a) From a transmitter's answer written to the pseudo-terminal to the row in the table, with
// the program idle in its event loop when the answer comes: a setup answer with the setup tab in
// front, and a registration answer with the registration tab in front. Split into the wake-up
// of the event thread, the hand-over to the user-interface thread and the handler's own work.
// (b) From "Старт" to the row, with the transmitter answering as soon as the request is
// complete, beside the fixed waits of the request: the 20 ms request-to-send hold and the drain.

#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/perf/row_watch.h"
#include "bench/perf/scenarios.h"
#include "bench/support/answering_peer.h"
#include "bench/support/statistics.h"
#include "hart/frame_sender.h"

namespace bench {
namespace {

using Ms = std::chrono::duration<double, std::milli>;

constexpr int kWarmUp = 20;
// The answer comes this long after the program was asked: it has repainted what the request
// changed and waits in its event loop, as it does when a transmitter answers.
constexpr std::chrono::milliseconds kAnswerAfter{10};

double MsBetween(Clock::time_point from, Clock::time_point to) {
    return Ms(to - from).count();
}

void PrintLine(const char* what, const std::vector<double>& values) {
    std::printf("  %-44s %s\n", what, SummaryText(Summarise(values), "").c_str());
}

class AnswerSeries {
public:
    void Add(Clock::time_point written, Clock::time_point seen, const RowWatch& watch) {
        total_.push_back(MsBetween(written, watch.handlerEnd));
        wake_.push_back(MsBetween(written, seen));
        handOver_.push_back(MsBetween(seen, watch.handlerStart));
        handler_.push_back(MsBetween(watch.handlerStart, watch.handlerEnd));
        completingCall_.push_back(MsBetween(watch.completingCallStart, watch.handlerEnd));
        calls_.push_back(watch.handlerCalls);
        if (watch.painted) {
            painted_.push_back(MsBetween(written, *watch.painted));
        }
    }

    void Print(const char* title) const {
        std::printf("(a) %s, ms\n", title);
        PrintLine("total (target: median < 0.3, p99 < 3)", total_);
        PrintLine("  pseudo-terminal to event thread awake", wake_);
        PrintLine("  event thread to handler on the UI thread", handOver_);
        PrintLine("  handler: collect, trace, row, decode", handler_);
        PrintLine("    handler calls for the answer (pieces)", calls_);
        PrintLine("    the call that completed the answer", completingCall_);
        PrintLine("answer written -> table painted", painted_);
    }

private:
    std::vector<double> total_, wake_, handOver_, handler_, completingCall_, calls_, painted_;
};

// How one kind of answer is brought about.
struct AnswerKind {
    const char* title;
    AnsweringPeer::Release release;
    const char* table;  // where the answer is written
    // Puts the program into the mode that takes the answer.
    std::function<void(ProgramUnderTest&)> prepare;
    // Asks for the next answer; it comes once the program has returned to its event loop.
    std::function<void(ProgramUnderTest&, AnsweringPeer&)> ask;
};

int MeasureAnswers(int transactions, const AnswerKind& kind) {
    AnsweringPeer peer(kind.release);
    ProgramUnderTest program(peer.SlavePath());
    RowWatch watch(program, kind.table);
    kind.prepare(program);
    AnswerSeries series;
    for (int i = 0; i < kWarmUp + transactions; ++i) {
        watch.Reset();
        kind.ask(program, peer);
        if (!watch.Await()) {
            std::fprintf(stderr, "(a) %s: answer %d did not arrive\n", kind.title, i);
            return 1;
        }
        if (i >= kWarmUp) {
            series.Add(peer.LastAnswer(), program.Devices().InputSeen(), watch);
        }
    }
    series.Print(kind.title);
    return 0;
}

const AnswerKind kSetupAnswer{
    "setup answer written -> row in the setup table (setup tab in front)",
    AnsweringPeer::Release::OnGo,
    "StringGrid1",
    [](ProgramUnderTest&) {},
    [](ProgramUnderTest& program, AnsweringPeer& peer) {
        program.Find<QPushButton>("Button1").click();
        QTimer::singleShot(kAnswerAfter, [&peer] { peer.Go(); });
    },
};

const AnswerKind kRegistrationAnswer{
    "registration answer written -> row in the registration table",
    AnsweringPeer::Release::Never,
    "StringGrid2",
    [](ProgramUnderTest& program) {
        program.Find<QTabWidget>("PageControl1").setCurrentIndex(1);
        program.Find<QCheckBox>("CheckBox12").setChecked(true);
        // A run started and stopped leaves the program in registration mode with slot 1
        // taking part: every answer from address 1 is written to its block of the table.
        auto& startStop = program.Find<QPushButton>("Button2");
        startStop.click();
        startStop.click();
    },
    [](ProgramUnderTest&, AnsweringPeer& peer) {
        QTimer::singleShot(kAnswerAfter, [&peer] { peer.AnswerNow(1); });
    },
};

int MeasureSetupTransaction(int transactions) {
    AnsweringPeer peer(AnsweringPeer::Release::AtOnce);
    ProgramUnderTest program(peer.SlavePath());
    RowWatch watch(program, "StringGrid1");
    auto& start = program.Find<QPushButton>("Button1");
    const double hold = Ms(hart::FrameSender::kRtsHold).count();
    std::vector<double> total, sending, drain, beforeHandler, handler, beyondHold;
    for (int i = 0; i < kWarmUp + transactions; ++i) {
        watch.Reset();
        const auto clicked = Clock::now();
        start.click();
        const auto sent = Clock::now();
        if (!watch.Await()) {
            std::fprintf(stderr, "(b) transaction %d: no row\n", i);
            return 1;
        }
        if (i < kWarmUp) {
            continue;
        }
        total.push_back(MsBetween(clicked, watch.handlerEnd));
        sending.push_back(MsBetween(clicked, sent));
        drain.push_back(Ms(program.Devices().LastDrain()).count());
        beforeHandler.push_back(MsBetween(sent, watch.handlerStart));
        handler.push_back(MsBetween(watch.handlerStart, watch.handlerEnd));
        beyondHold.push_back(total.back() - hold);
    }
    std::printf("(b) \"Старт\" -> row in the setup table, answer at once, ms\n");
    PrintLine("total", total);
    PrintLine("  \"Старт\" handler: frame, send, hold, drain", sending);
    PrintLine("  drain of the request (overlaps the hold)", drain);
    PrintLine("  event loop before the answer's turn", beforeHandler);
    PrintLine("  handler: collect, trace, row, decode", handler);
    std::printf("  %-44s %.1f ms\n", "fixed request-to-send hold", hold);
    PrintLine("total beyond the fixed hold", beyondHold);
    return 0;
}

}  // namespace

int RunLatency(const Options& options) {
    int status = MeasureAnswers(options.transactions, kSetupAnswer);
    status |= MeasureAnswers(options.transactions, kRegistrationAnswer);
    status |= MeasureSetupTransaction(options.transactions);
    return status;
}

}  // namespace bench
