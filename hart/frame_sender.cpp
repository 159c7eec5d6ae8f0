#include "hart/frame_sender.h"

#include <span>
#include <thread>

#include "hart/byte_text.h"
#include "serial/ser_comm.h"

namespace hart {
namespace {

constexpr std::uint8_t kPreamble = 255;
constexpr std::uint8_t kStartDelimiter = 130;
constexpr int kHeaderLength = 11;  // preamble, delimiter, five address bytes, command, count

}  // namespace

void FrameSender::SendFrame() {
    port_.SetRTS(true);
    try {
        const int length = CompleteFrame();
        // The whole frame in one hand-over: the writer thread is woken once, not once a byte,
        // and a frame the port refuses is refused whole rather than cut off on the wire.
        port_.WriteBuf(request_.TxFrame.data(), length);
        Trace(request_.TxByteCount);
        const auto traced = std::chrono::steady_clock::now();
        // Dropping RTS while bytes are still on their way would cut the frame off at the modem:
        // a 31-byte frame takes 32 ms at 9600 bit/s, longer than the fixed hold.
        port_.Drain(kDrainLimit);
        std::this_thread::sleep_until(traced + kRtsHold);
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
    auto& frame = request_.TxFrame;
    frame[0] = frame[1] = frame[2] = kPreamble;
    frame[3] = kStartDelimiter;
    frame[4] = frame[5] = frame[6] = frame[7] = 255;
    frame[8] = request_.PollAddress;
    frame[9] = request_.TxCommand;
    frame[10] = request_.TxByteCount;
    const int checksumAt = kHeaderLength + request_.TxByteCount;
    std::uint8_t checksum = 0;
    for (int i = 3; i < checksumAt; ++i) {
        checksum ^= frame[i];
    }
    request_.Checksum = checksum;
    frame[checksumAt] = checksum;
    return checksumAt + 1;
}

void FrameSender::Trace(int dataCount) {
    const auto frame = std::span<const std::uint8_t>(request_.TxFrame);
    memo_.AppendLine(QStringLiteral("Передача началась"));
    memo_.AppendLine(QStringLiteral("Преамбула: ") + SeparatedByteText(frame.subspan(0, 3)));
    memo_.AppendLine(QStringLiteral("Стартовый байт: ") + QString::number(frame[3]));
    memo_.AppendLine(QStringLiteral("Адрес: ") + SeparatedByteText(frame.subspan(4, 5)));
    memo_.AppendLine(QStringLiteral("Команда: ") + QString::number(frame[9]));
    memo_.AppendLine(QStringLiteral("Размер переданных байт: ") + QString::number(dataCount));
    memo_.AppendLine(QStringLiteral("Данные: ") +
                     BlankPrefixedByteText(frame.subspan(kHeaderLength, dataCount)));
    memo_.AppendLine(QStringLiteral("Контрольная сумма: ") + QString::number(request_.Checksum));
}

}  // namespace hart
