#pragma once
// The program's receive path with the controls it writes: the port's received-characters handler
// and its collector, the dispatcher, every decoder in both modes. Each input first puts the shared
// state into the position its header names, so that an input always does the same thing however
// many came before it; then its bytes arrive chunk by chunk, and the rules that must hold after
// every chunk are checked.

#include <chrono>
#include <cstdint>
#include <span>

#include "fuzz/checked_protocol_sink.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/memory_port.h"
#include "modes/receive_path.h"
#include "tests/support/standalone_controls.h"

namespace fuzzing {

class ReceivePathHarness {
public:
    ReceivePathHarness();
    ReceivePathHarness(const ReceivePathHarness&) = delete;
    ReceivePathHarness& operator=(const ReceivePathHarness&) = delete;

    void Run(std::span<const std::uint8_t> data);

private:
    void Reset(const Setup& setup);
    void ResetTrace();
    void FillEarlierBlocks(const Setup& setup);
    void MaybeChangeMode(Choices& choices);
    void Deliver(std::span<const std::uint8_t> chunk, bool throughPort, Choices& choices);
    // Moves the collector's clock on: mostly a few milliseconds, now and then a pause.
    void LetTimePass(Choices& choices);
    void CheckRules() const;

    hart::ProgramState state_;
    std::chrono::steady_clock::time_point now_{};
    // A short trace, so that inputs of a few dozen answers also drop its oldest lines.
    StandaloneControls controls_{100};
    CheckedProtocolSink sink_{state_, controls_.checkBox1};
    modes::ReceivePath path_;
    MemoryPort port_;
};

// Runs one input through a harness made on first use, in an offscreen application.
void RunReceivePath(std::span<const std::uint8_t> data);

}  // namespace fuzzing
