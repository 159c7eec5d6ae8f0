#pragma once
// Who a transmitter says it is: the facts behind command 0 (unique identifier) and command 13
// (tag, descriptor, date), and the unique address of its long frames that follows from them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "wire_format.h"

namespace sim {

inline constexpr unsigned kHartRevision5 = 5;
inline constexpr unsigned kHartRevision7 = 7;
inline constexpr std::size_t kMinAnswerPreambles = 2;
inline constexpr std::size_t kMaxAnswerPreambles = 20;
inline constexpr std::size_t kTagCharacters = 8;
inline constexpr std::size_t kDescriptorCharacters = 16;
inline constexpr std::uint32_t kMaxDeviceId = 0xFFFFFF;

struct Identity {
    unsigned hartRevision = kHartRevision5;  // the layout of command 0's answer
    // One byte each under revision 5; under 7 the manufacturer code takes two and the device
    // type is the two-byte expanded device type.
    std::uint16_t manufacturer = 0;
    std::uint16_t deviceType = 0;
    std::uint32_t deviceId = 0;
    // Asked of the master in command 0 and sent before each answer to a standard frame.
    std::size_t preambles = 5;
    std::string tag;
    std::string descriptor;
    std::uint8_t day = 1;
    std::uint8_t month = 1;
    std::uint8_t yearsSince1900 = 0;
};

using IdentityTable = std::array<Identity, 256>;

// The identity of the transmitter at a poll address when nothing else is said: one product,
// each with its own device ID, tag and date.
IdentityTable DefaultIdentities();

// Throws std::invalid_argument when the identity cannot be told in its layout.
void CheckIdentity(const Identity& identity);

// The five address bytes of a long frame, master and burst bits 0.
using UniqueAddress = std::array<std::uint8_t, 5>;
UniqueAddress UniqueAddressOf(const Identity& identity);

// What the transmitter itself adds to the answer of command 0.
struct DeviceCounts {
    std::uint8_t deviceVariables = 0;
    std::uint16_t configurationChanges = 0;
};

Bytes UniqueIdentifierData(const Identity& identity, const DeviceCounts& counts);
Bytes TagDescriptorDateData(const Identity& identity);

}  // namespace sim
