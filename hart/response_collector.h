#pragma once
// Collects the bytes the port announces into RxBuf and hands every complete response on.

#include <QPlainTextEdit>
#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "hart/program_state.h"

namespace ser {
class TSerCustomComm;
}

namespace hart {

class ResponseCollector {
public:
    // `dispatch` is called once per complete response, with RxLength set and RxBuf holding it.
    ResponseCollector(ReceiveState& receive, QPlainTextEdit& memo, std::function<void()> dispatch)
        : receive_(receive), memo_(memo), dispatch_(std::move(dispatch)) {}

    // The port's received-characters handler: reads the `Count` waiting bytes and collects them.
    void SerComm1RxChar(ser::TSerCustomComm& Sender, int Count);

    // Collects bytes in arrival order. A response is complete when byte count + 14 bytes have
    // arrived; the bytes after it start the next response, so answers that arrive together are
    // all dispatched, in order. A response whose byte count would not fit RxBuf is dropped whole,
    // with one trace line, and its sender's time-out is left to run.
    void Collect(std::span<const std::uint8_t> bytes);

private:
    void Complete();
    void DropOversized();

    ReceiveState& receive_;
    QPlainTextEdit& memo_;
    std::function<void()> dispatch_;
    std::array<std::uint8_t, 32768> readBuffer_{};
};

}  // namespace hart
