#pragma once
// The ways in which the transmitter at a poll address can be told to misbehave.

#include <array>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "wire_format.h"

namespace sim {

using Millis = std::chrono::milliseconds;

struct Faults {
    bool silent = false;
    Millis late{0};
    bool badChecksum = false;
    std::vector<std::size_t> pieces;  // sizes the answer is cut into; the rest goes last
    Millis piecePause{0};
    Bytes garbage;                         // sent before the answer ...
    std::size_t randomGarbage = 0;         // ... followed by this many random bytes
    std::uint8_t oversize = 0;             // byte count claimed, with as many bytes; 0 off
    std::optional<std::uint8_t> answerAs;  // the last address byte of the answer
    std::bitset<256> refused;              // commands answered as not implemented
    unsigned noisePerSecond = 0;
    bool twice = false;
};

using FaultTable = std::array<Faults, 256>;

}  // namespace sim
