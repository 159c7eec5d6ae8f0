#pragma once
// How one fuzz input is read. A fixed header puts the program's shared state and controls into a
// legal position; the rest is what arrives from the line, cut into chunks by a generator seeded
// from the header. A short input reads as if padded with zeros.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "commands/device_variables.h"

namespace fuzzing {

// Where each setting lies in the header, and how its bytes are read.
namespace header {
inline constexpr std::size_t kMode = 0;       // value % 3: nothing started, setup, registration
inline constexpr std::size_t kGridRow = 1;    // two bytes: setup table row 1 + (big-endian % 300)
inline constexpr std::size_t kRegRow = 3;     // registration table row: 1 + value % 254
inline constexpr std::size_t kSlotBytes = 4;  // ten bytes, slots 1..10: bit 0 ticked, bits 1-2
                                              // lamp state, bits 3-7 attempt number - 1
inline constexpr std::size_t kAttemptLimit = 14;
inline constexpr std::size_t kLastCommand = 15;   // command of the last request built
inline constexpr std::size_t kRequestCodes = 16;  // four bytes: variable codes of the last
                                                  // device-variables request, value % variables
inline constexpr std::size_t kRegistrationCommand = 20;  // value % length of the list
inline constexpr std::size_t kSetupCommand = 21;         // value % length of the list
inline constexpr std::size_t kFlags = 22;                // the bits of Flag
inline constexpr std::size_t kVariableChoices = 23;      // four bytes: variables dialog lists,
                                                         // value % number of variables
inline constexpr std::size_t kUnitChoice = 27;    // units dialog: value % 4, 3 is no unit chosen
inline constexpr std::size_t kLargestChunk = 28;  // 0: everything in one chunk
inline constexpr std::size_t kChunkSeed = 29;     // two bytes: chunk generator seed
inline constexpr std::size_t kBlockPattern = 31;  // where the earlier blocks lie
inline constexpr std::size_t kSize = 32;

enum Flag : std::uint8_t {
    kProtocolTicked = 1,
    kModeChanges = 2,    // the mode changes between chunks
    kThroughPort = 4,    // chunks come through the port's received-characters handler
    kEarlierBlocks = 8,  // the registration table holds blocks of an earlier run
};
}  // namespace header

inline constexpr int kSlots = 10;

struct Setup {
    std::uint8_t mode = 0;
    int gridRow = 1;
    int regRow = 1;
    std::array<bool, kSlots + 1> slotTicked{};
    std::array<std::uint8_t, kSlots + 1> slotState{};
    std::array<std::uint8_t, kSlots + 1> slotAttempts{};
    std::uint8_t attemptLimit = 0;
    std::uint8_t lastCommand = 0;
    std::array<std::uint8_t, commands::kVariableGroups> requestCodes{};
    int registrationCommand = 0;
    int setupCommand = 0;
    bool protocolTicked = false;
    bool modeChanges = false;
    bool throughPort = false;
    bool earlierBlocks = false;
    std::array<int, commands::kVariableGroups> variableChoices{};
    int unitChoice = 0;
    int largestChunk = 0;
    std::uint16_t chunkSeed = 0;
    std::uint8_t blockPattern = 0;
};

struct Input {
    Setup setup;
    std::span<const std::uint8_t> stream;
};

Input ReadInput(std::span<const std::uint8_t> data);

// What the header of a seed input sets. Every slot is ticked, with the same lamp and the same
// attempt outstanding; the last request built is one of command 1, and the variables asked for
// and chosen are the pressure, the current, Um and the temperature.
struct SeedSetup {
    std::uint8_t mode = 0;
    std::uint8_t registrationCommand = 0;
    bool protocolTicked = false;
    std::uint8_t largestChunk = 0;
    std::uint8_t lamp = 0;     // hart::kLampSilver..kLampGreen
    std::uint8_t attempt = 1;  // 1..32
    bool throughPort = true;
    bool modeChanges = false;
    bool earlierBlocks = false;
};

std::vector<std::uint8_t> SeedHeader(const SeedSetup& setup);

// Deterministic numbers from the header's seed: chunk sizes and the harness's other choices.
class Choices {
public:
    explicit Choices(std::uint16_t seed) : state_(seed * 2654435761u | 1u) {}

    std::uint32_t Next();
    // 1..largest, or `remaining` when largest is 0; never more than `remaining`.
    std::size_t ChunkSize(int largest, std::size_t remaining);

private:
    std::uint32_t state_;
};

}  // namespace fuzzing
