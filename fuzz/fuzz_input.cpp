#include "fuzz/fuzz_input.h"

#include <algorithm>

#include "commands/catalogue.h"

namespace fuzzing {
namespace {

enum Flag : std::uint8_t {
    kProtocolTicked = 1,
    kModeChanges = 2,
    kThroughPort = 4,
    kEarlierBlocks = 8,
};

constexpr int kGridRowRange = 300;
constexpr int kRegRowRange = 254;
constexpr int kVariableCount = static_cast<int>(commands::kDeviceVariables.size());

}  // namespace

Input ReadInput(std::span<const std::uint8_t> data) {
    std::array<std::uint8_t, kHeaderSize> h{};
    const std::size_t headerLength = std::min(data.size(), kHeaderSize);
    std::copy_n(data.begin(), headerLength, h.begin());

    Setup s;
    s.mode = h[0] % 3;
    s.gridRow = 1 + (h[1] << 8 | h[2]) % kGridRowRange;
    s.regRow = 1 + h[3] % kRegRowRange;
    for (int slot = 1; slot <= kSlots; ++slot) {
        const std::uint8_t bits = h[3 + slot];
        s.slotTicked[slot] = (bits & 1) != 0;
        s.slotState[slot] = (bits >> 1) & 3;
        s.slotAttempts[slot] = static_cast<std::uint8_t>(1 + (bits >> 3));
    }
    s.attemptLimit = h[14];
    s.lastCommand = h[15];
    for (int group = 0; group < commands::kVariableGroups; ++group) {
        s.requestCodes[group] = h[16 + group] % kVariableCount;
        s.variableChoices[group] = h[23 + group] % kVariableCount;
    }
    s.registrationCommand = h[20] % commands::kPolledCount;
    s.setupCommand = h[21] % static_cast<int>(commands::kCatalogue.size());
    s.protocolTicked = (h[22] & kProtocolTicked) != 0;
    s.modeChanges = (h[22] & kModeChanges) != 0;
    s.throughPort = (h[22] & kThroughPort) != 0;
    s.earlierBlocks = (h[22] & kEarlierBlocks) != 0;
    s.unitChoice = h[27] % 4 == 3 ? -1 : h[27] % 4;
    s.largestChunk = h[28];
    s.chunkSeed = static_cast<std::uint16_t>(h[29] << 8 | h[30]);
    s.blockPattern = h[31];
    return {s, data.subspan(headerLength)};
}

std::vector<std::uint8_t> SeedHeader(const SeedSetup& setup) {
    std::vector<std::uint8_t> h(kHeaderSize, 0);  // setup table row 1, unit "кгс/см2"
    h[0] = setup.mode;
    const auto slot = static_cast<std::uint8_t>(1 | setup.lamp << 1 | (setup.attempt - 1) << 3);
    std::fill(h.begin() + 4, h.begin() + 14, slot);
    h[14] = 3;  // attempt limit
    h[15] = 1;  // last request: command 1
    // Variables asked for and chosen: pressure, current, Um, temperature.
    for (const int at : {16, 23}) {
        h[at + 1] = 1;
        h[at + 2] = 2;
        h[at + 3] = 4;
    }
    h[20] = setup.registrationCommand;
    h[22] = static_cast<std::uint8_t>(
        (setup.protocolTicked ? kProtocolTicked : 0) | (setup.modeChanges ? kModeChanges : 0) |
        (setup.throughPort ? kThroughPort : 0) | (setup.earlierBlocks ? kEarlierBlocks : 0));
    h[28] = setup.largestChunk;
    h[30] = 1;  // chunk generator seed
    return h;
}

std::uint32_t Choices::Next() {
    // xorshift32: fast, and the same on every platform.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

std::size_t Choices::ChunkSize(int largest, std::size_t remaining) {
    if (largest <= 0) {
        return remaining;
    }
    return std::min<std::size_t>(remaining, 1 + Next() % static_cast<std::uint32_t>(largest));
}

}  // namespace fuzzing
