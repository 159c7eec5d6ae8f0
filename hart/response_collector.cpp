#include "hart/response_collector.h"

#include <algorithm>

#include "hart/frame_layout.h"
#include "serial/ser_comm.h"

namespace hart {

using frame::response::kByteCountAt;
using frame::response::kOverhead;

void ReadAnnounced(ser::TSerCustomComm& port, int count, std::span<std::uint8_t> buffer,
                   const std::function<void(std::span<const std::uint8_t>)>& collect) {
    // More than the buffer may be waiting; take it all so no byte waits for the next event.
    while (count > 0) {
        const int wanted = std::min<int>(count, static_cast<int>(buffer.size()));
        const int read = port.ReadBuf(buffer.data(), wanted);
        if (read <= 0) {
            return;
        }
        collect(buffer.first(static_cast<std::size_t>(read)));
        count -= read;
    }
}

void ResponseCollector::SerComm1RxChar(ser::TSerCustomComm& Sender, int Count) {
    ReadAnnounced(Sender, Count, readBuffer_, [this](auto bytes) { Collect(bytes); });
}

void ResponseCollector::Collect(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return;
    }
    const auto now = now_();
    if (now - lastCollected_ >= kStaleAfter) {
        DropStale();
    }
    lastCollected_ = now;
    for (const std::uint8_t byte : bytes) {
        if (receive_.rxDiscard > 0) {
            --receive_.rxDiscard;
            continue;
        }
        receive_.RxBuf[++receive_.RxCount] = byte;
        if (receive_.RxCount < kByteCountAt) {
            continue;
        }
        const int length = receive_.RxBuf[kByteCountAt] + kOverhead;
        if (length > kRxBufSize) {
            DropOversized();
        } else if (receive_.RxCount >= length) {
            Complete();
        }
    }
}

void ResponseCollector::Complete() {
    receive_.RxLength = receive_.RxBuf[kByteCountAt] + kOverhead;
    receive_.Restart();
    memo_.AppendLine(QStringLiteral("Буфер приемника: Приняты все байты: ") +
                     QString::number(receive_.RxLength));
    dispatch_();
}

void ResponseCollector::DropStale() {
    // The rest of an oversized response that is being dropped was traced with its start.
    if (receive_.RxCount > 0) {
        memo_.AppendLine(QStringLiteral("Буфер приемника: Неполный ответ из %1 байт отброшен")
                             .arg(receive_.RxCount));
    }
    receive_.Restart();
}

void ResponseCollector::DropOversized() {
    const int length = receive_.RxBuf[kByteCountAt] + kOverhead;
    receive_.Restart();
    receive_.rxDiscard = length - kByteCountAt;
    memo_.AppendLine(QStringLiteral("Буфер приемника: Ответ длиной %1 байт не помещается в "
                                    "буфер и отброшен")
                         .arg(length));
}

}  // namespace hart
