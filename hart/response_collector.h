#pragma once
// Collects the bytes the port announces into RxBuf and hands every complete response on.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "hart/program_state.h"
#include "ui/trace_memo.h"

namespace ser {
class TSerCustomComm;
}

namespace hart {

// Reads the `count` bytes the port announced, in pieces as large as `buffer`, and hands each
// piece to `collect`.
void ReadAnnounced(ser::TSerCustomComm& port, int count, std::span<std::uint8_t> buffer,
                   const std::function<void(std::span<const std::uint8_t>)>& collect);

class ResponseCollector {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // A response that has waited this long for its next byte is given up when more bytes come.
    // A transmitter sends its answer in one go (60 bytes take 63 ms at 9600 bit/s), so the bytes
    // before such a pause were line noise or the tail of an answer the collector lost step with.
    // Without the pause as a boundary, answers of equal length arriving back to back can keep it
    // out of step for good. The bound is above the 60 to 200 ms for which sending a request keeps
    // this handler waiting, and below the quiet second between two polls of registration mode; a
    // poll tick of many slots holds the handler off longer, and an answer caught in the middle
    // by its start is lost, the collector being back in step at the next pause.
    static constexpr std::chrono::milliseconds kStaleAfter{500};

    // `dispatch` is called once per complete response, with RxLength set and RxBuf holding it.
    // `now` tells the time at which bytes are collected (tests pass their own clock).
    ResponseCollector(ReceiveState& receive, TraceMemo& memo, std::function<void()> dispatch,
                      Clock now = std::chrono::steady_clock::now)
        : receive_(receive), memo_(memo), dispatch_(std::move(dispatch)), now_(std::move(now)) {}

    // The port's received-characters handler: reads the `Count` waiting bytes and collects them.
    void SerComm1RxChar(ser::TSerCustomComm& Sender, int Count);

    // Collects bytes in arrival order. A response is complete when byte count + 14 bytes have
    // arrived; the bytes after it start the next response, so answers that arrive together are
    // all dispatched, in order. A response whose byte count would not fit RxBuf is dropped whole,
    // with one trace line, and its sender's time-out is left to run. So is a partial response
    // that has seen no byte for kStaleAfter.
    void Collect(std::span<const std::uint8_t> bytes);

private:
    void Complete();
    void DropOversized();
    void DropStale();

    ReceiveState& receive_;
    TraceMemo& memo_;
    std::function<void()> dispatch_;
    Clock now_;
    std::chrono::steady_clock::time_point lastCollected_{};
    std::array<std::uint8_t, 32768> readBuffer_{};
};

}  // namespace hart
