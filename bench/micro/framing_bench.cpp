// Framing a request: RTS raised, the frame completed and checksummed, its bytes handed to the
// port one by one, its eight trace lines appended to the shown trace memo. The fixed 20 ms
// request-to-send hold and the drain that overlaps it are not part of the figure: the time
// taken is that up to the trace's last line, as the memo's document reports it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextDocument>
#include <chrono>
#include <memory>

#include "app/setup_tab.h"
#include "bench/support/answering_peer.h"
#include "hart/frame_sender.h"
#include "serial/ser_comm.h"
#include "serial_qt/ui_thread_calls.h"

namespace {

using Clock = std::chrono::steady_clock;

// Enough iterations for a stable median while each still waits out the 20 ms hold.
constexpr int kIterations = 250;

class Sending {
public:
    explicit Sending(bool open) {
        port_.SetBaudrate(ser::br9600);
        port_.SetDatabits(ser::db8);
        port_.SetParity(ser::paNone);
        port_.SetStopbits(ser::sb1);
        port_.SetEventPriority(ser::tpHighest);
        port_.SetDeviceName(peer_.SlavePath());
        if (open) {
            port_.Open();
        }
        QObject::connect(tab_.Memo1->document(), &QTextDocument::contentsChanged,
                         [this] { traced_ = Clock::now(); });
        tab_.resize(1200, 800);
        tab_.show();
        QApplication::processEvents();
    }

    // Seconds from the start of SendFrame to its last trace line.
    double Send(std::uint8_t dataBytes) {
        request_.PollAddress = 1;
        request_.TxCommand = 35;
        request_.TxByteCount = dataBytes;
        const auto start = Clock::now();
        sender_.SendFrame();
        return std::chrono::duration<double>(traced_ - start).count();
    }

private:
    bench::AnsweringPeer peer_{bench::AnsweringPeer::Release::Never};
    UiThreadCalls uiCalls_;
    ser::TSerComm port_{ser::TSerEnvironment{uiCalls_.SyncCall(), [](std::exception_ptr) {}, {}}};
    SetupTab tab_;
    hart::RequestState request_;
    hart::FrameSender sender_{request_, port_, *tab_.Memo1};
    Clock::time_point traced_;
};

void SendFrame(benchmark::State& state, bool open) {
    Sending sending(open);
    const auto dataBytes = static_cast<std::uint8_t>(state.range(0));
    for (auto _ : state) {
        state.SetIterationTime(sending.Send(dataBytes));
        QApplication::processEvents();
    }
}

void SendFrameOnPseudoTerminal(benchmark::State& state) {
    SendFrame(state, true);
}
BENCHMARK(SendFrameOnPseudoTerminal)->Arg(0)->Arg(19)->UseManualTime()->Iterations(kIterations);

void SendFrameOnClosedPort(benchmark::State& state) {
    SendFrame(state, false);
}
BENCHMARK(SendFrameOnClosedPort)->Arg(0)->UseManualTime()->Iterations(kIterations);

}  // namespace
