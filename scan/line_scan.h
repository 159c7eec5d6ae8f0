#pragma once
// The scan of the line: command 0 in a short frame to each poll address of a range, and to each
// transmitter that answers, command 13 in a long frame to the unique address it gave. Each request
// is repeated up to the attempt limit on silence or on an answer that cannot be trusted, each
// wait as long as a setup transaction's; an address that stays silent is passed over without a
// row.

#include <QObject>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "hart/program_state.h"
#include "hart/standard_frames.h"
#include "scan/scan_row.h"
#include "ui/timer.h"
#include "ui/trace_memo.h"

namespace ser {
class TSerCustomComm;
}
namespace hart {
class FrameSender;
}

namespace scan {

struct ScanRange {
    int first = 0;
    int last = 15;
    int attempts = 3;  // sendings of each request, at least one
};

class LineScan {
public:
    struct Listener {
        // The scan turns to the `index`-th (from 1) of `count` addresses, poll address `address`.
        std::function<void(int index, int count, int address)> addressTried;
        std::function<void(const ScanRow&)> rowFound;
        // The scan is over and the line quiet: after the last address, or after Stop.
        std::function<void()> finished;
    };

    // `session.scanRunning` says, from Start until the line is quiet again, that the scan owns
    // the line.
    LineScan(hart::SessionState& session, ser::TSerCustomComm& port, hart::FrameSender& sender,
             TraceMemo& memo, Listener listener);

    void Start(const ScanRange& range);
    // Sends nothing more; the line is counted quiet once an answer to the last request could
    // have come.
    void Stop();
    bool Running() const { return step_ != Step::Idle; }
    // Whether received bytes are the scan's: while it runs and until the line is quiet again.
    bool OwnsLine() const { return session_.scanRunning; }

    // The port's received-characters handler while the scan owns the line.
    void SerComm1RxChar(ser::TSerCustomComm& Sender, int Count);
    void Collect(std::span<const std::uint8_t> bytes);

private:
    enum class Step { Idle, Identify, ReadTag };

    void BeginAddress();
    void Send();
    void AnswerTimeout();
    void Handle(const hart::standard::Answer& answer);
    void HandleIdentity(const hart::standard::Answer& answer);
    void HandleTag(const hart::standard::Answer& answer);
    // Another sending of the same request, or the end of this address after the last attempt.
    void RepeatOrGiveUp();
    void EndAddress();
    // Ends the scan once the line is quiet.
    void WaitForQuiet();
    void Finish();

    hart::SessionState& session_;
    ser::TSerCustomComm& port_;
    hart::FrameSender& sender_;
    TraceMemo& memo_;
    Listener listener_;
    TTimer answerTimer_{QStringLiteral("ScanAnswerTimer")};

    ScanRange range_;
    std::chrono::milliseconds answerTime_{};  // the setup transaction's wait for an answer
    Step step_ = Step::Idle;
    int address_ = 0;
    int attempt_ = 1;
    int requestsSent_ = 0;
    hart::standard::Bytes requestAddress_;
    hart::standard::AnswerReader reader_;
    ScanRow row_;
    std::array<std::uint8_t, 512> readBuffer_{};
    QString lastProblem_;  // of the current request's answers, empty while none was wrong
};

}  // namespace scan
