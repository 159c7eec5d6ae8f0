#include "fuzz/fuzz_input.h"

#include <algorithm>

#include "commands/catalogue.h"

namespace fuzzing {
namespace {

using namespace header;

constexpr int kGridRowRange = 300;
constexpr int kRegRowRange = 254;
constexpr int kVariableCount = static_cast<int>(commands::kDeviceVariables.size());

}  // namespace

Input ReadInput(std::span<const std::uint8_t> data) {
    std::array<std::uint8_t, kSize> h{};
    const std::size_t headerLength = std::min(data.size(), kSize);
    std::copy_n(data.begin(), headerLength, h.begin());

    Setup s;
    s.mode = h[kMode] % 3;
    s.gridRow = 1 + (h[kGridRow] << 8 | h[kGridRow + 1]) % kGridRowRange;
    s.regRow = 1 + h[kRegRow] % kRegRowRange;
    for (int slot = 1; slot <= kSlots; ++slot) {
        const std::uint8_t bits = h[kSlotBytes + slot - 1];
        s.slotTicked[slot] = (bits & 1) != 0;
        s.slotState[slot] = (bits >> 1) & 3;
        s.slotAttempts[slot] = static_cast<std::uint8_t>(1 + (bits >> 3));
    }
    s.attemptLimit = h[kAttemptLimit];
    s.lastCommand = h[kLastCommand];
    for (int group = 0; group < commands::kVariableGroups; ++group) {
        s.requestCodes[group] = h[kRequestCodes + group] % kVariableCount;
        s.variableChoices[group] = h[kVariableChoices + group] % kVariableCount;
    }
    s.registrationCommand = h[kRegistrationCommand] % commands::kPolledCount;
    s.setupCommand = h[kSetupCommand] % static_cast<int>(commands::kCatalogue.size());
    s.protocolTicked = (h[kFlags] & kProtocolTicked) != 0;
    s.modeChanges = (h[kFlags] & kModeChanges) != 0;
    s.throughPort = (h[kFlags] & kThroughPort) != 0;
    s.earlierBlocks = (h[kFlags] & kEarlierBlocks) != 0;
    s.unitChoice = h[kUnitChoice] % 4 == 3 ? -1 : h[kUnitChoice] % 4;
    s.largestChunk = h[kLargestChunk];
    s.chunkSeed = static_cast<std::uint16_t>(h[kChunkSeed] << 8 | h[kChunkSeed + 1]);
    s.blockPattern = h[kBlockPattern];
    return {s, data.subspan(headerLength)};
}

std::vector<std::uint8_t> SeedHeader(const SeedSetup& setup) {
    std::vector<std::uint8_t> h(kSize, 0);  // setup table row 1, unit "кгс/см2"
    h[kMode] = setup.mode;
    const auto slot = static_cast<std::uint8_t>(1 | setup.lamp << 1 | (setup.attempt - 1) << 3);
    std::fill_n(h.begin() + kSlotBytes, kSlots, slot);
    h[kAttemptLimit] = 3;
    h[kLastCommand] = 1;
    // Variables asked for and chosen: pressure, current, Um, temperature.
    for (const std::size_t at : {kRequestCodes, kVariableChoices}) {
        h[at + 1] = 1;
        h[at + 2] = 2;
        h[at + 3] = 4;
    }
    h[kRegistrationCommand] = setup.registrationCommand;
    h[kFlags] = static_cast<std::uint8_t>(
        (setup.protocolTicked ? kProtocolTicked : 0) | (setup.modeChanges ? kModeChanges : 0) |
        (setup.throughPort ? kThroughPort : 0) | (setup.earlierBlocks ? kEarlierBlocks : 0));
    h[kLargestChunk] = setup.largestChunk;
    h[kChunkSeed + 1] = 1;
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
