#pragma once
// Completes a request frame around the command and data a builder prepared, or takes a prepared
// standard request, sends it with request-to-send raised, and traces it.

#include <chrono>
#include <cstdint>
#include <span>

#include "hart/program_state.h"
#include "ui/trace_memo.h"

namespace ser {
class TSerCustomComm;
}

namespace hart {

class FrameSender {
public:
    // Request-to-send stays raised at least this long after the trace...
    static constexpr std::chrono::milliseconds kRtsHold{20};
    // ...and until the frame has left the port, but never longer than this.
    static constexpr std::chrono::milliseconds kDrainLimit{2000};

    FrameSender(RequestState& request, ser::TSerCustomComm& port, TraceMemo& memo)
        : request_(request), port_(port), memo_(memo) {}

    // Frames PollAddress, TxCommand, TxByteCount and the data bytes of TxFrame, raises RTS,
    // hands the frame to the port, traces it, and drops RTS once the last byte has left the
    // port and kRtsHold has passed since the trace. Blocks the calling (UI) thread meanwhile.
    // A failure on the way (a refused frame, a failed drain) ends the sending: RTS is dropped
    // all the same and the error propagates.
    void SendFrame();
    // Sends a whole standard request (standard::Request) the same way, tracing it in the same
    // line forms. Leaves the request state alone. Throws std::invalid_argument, before raising
    // RTS, for bytes that are not one whole request.
    void SendStandard(std::span<const std::uint8_t> request);

private:
    int CompleteFrame();
    void Transmit(std::span<const std::uint8_t> frame);

    RequestState& request_;
    ser::TSerCustomComm& port_;
    TraceMemo& memo_;
};

}  // namespace hart
