#include "hart/frame_sender.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "hart/frame_layout.h"
#include "hart/standard_frames.h"
#include "serial/ser_comm.h"
#include "serial/ser_sleep.h"

namespace hart {

using namespace frame::request;

void FrameSender::SendFrame() {
    const int length = CompleteFrame();
    Transmit(std::span<const std::uint8_t>(request_.TxFrame).first(length));
}

void FrameSender::SendStandard(std::span<const std::uint8_t> request) {
    Transmit(request);
}

void FrameSender::Transmit(std::span<const std::uint8_t> frame) {
    const QStringList trace = standard::TraceLines(frame);
    port_.SetRTS(true);
    try {
        // The whole frame in one hand-over: the writer thread is woken once, not once a byte,
        // and a frame the port refuses is refused whole rather than cut off on the wire.
        port_.WriteBuf(frame.data(), static_cast<int>(frame.size()));
        for (const QString& line : trace) {
            memo_.AppendLine(line);
        }
        const auto traced = std::chrono::steady_clock::now();
        // Dropping RTS while bytes are still on their way would cut the frame off at the modem:
        // a 31-byte frame takes 32 ms at 9600 bit/s, longer than the fixed hold.
        port_.Drain(kDrainLimit);
        ser::SleepUntil(traced + kRtsHold);
    } catch (...) {
        // Left raised, RTS would keep the modem transmitting and jam the line for every device;
        // the first failure is the one reported.
        try {
            port_.SetRTS(false);
        } catch (...) {
        }
        throw;
    }
    port_.SetRTS(false);
}

int FrameSender::CompleteFrame() {
    auto& tx = request_.TxFrame;
    // No builder comes near it (19 data bytes at most), but a longer count would put the
    // checksum past the frame's end.
    if (request_.TxByteCount > kTxFrameSize - kOverhead) {
        throw std::length_error("Request of " + std::to_string(request_.TxByteCount) +
                                " data bytes does not fit the frame");
    }
    std::fill_n(tx.begin(), frame::kPreambleLength, frame::kPreambleByte);
    tx[kDelimiterAt] = frame::kRequestDelimiter;
    std::fill(tx.begin() + kAddressAt, tx.begin() + kPollAddressAt, frame::kAddressFiller);
    tx[kPollAddressAt] = request_.PollAddress;
    tx[kCommandAt] = request_.TxCommand;
    tx[kByteCountAt] = request_.TxByteCount;
    const int checksumAt = kDataAt + request_.TxByteCount;
    std::uint8_t checksum = 0;
    for (int i = kDelimiterAt; i < checksumAt; ++i) {
        checksum ^= tx[i];
    }
    request_.Checksum = checksum;
    tx[checksumAt] = checksum;
    return checksumAt + 1;
}

}  // namespace hart
