#pragma once
// The bytes of the two frame kinds on the line: requests from the master and answers of a
// transmitter, with the four-byte numbers they carry.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace sim {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kPreamble = 255;
inline constexpr std::uint8_t kRequestDelimiter = 130;
inline constexpr std::uint8_t kAnswerDelimiter = 134;
// Request and answer alike address the device as four 255s followed by its poll address.
inline constexpr std::size_t kAddressFillers = 4;

// A request that passed its checksum.
struct Request {
    std::uint8_t address = 0;
    std::uint8_t command = 0;
    Bytes data;
};

// What a transmitter says, before it is framed.
struct Answer {
    std::uint8_t address = 0;
    std::uint8_t command = 0;
    std::uint8_t status = 0;  // first status byte, the response code; the second is always 0
    Bytes data;
};

std::uint8_t XorOf(std::span<const std::uint8_t> bytes);

// IEEE 754 single precision, most significant byte first.
void AppendFloat(Bytes& out, float value);
float FloatAt(std::span<const std::uint8_t> bytes, std::size_t offset);

// Three preambles, delimiter, address, command, count, two status bytes, data, checksum over
// everything from the delimiter on.
Bytes FrameAnswer(const Answer& answer);

}  // namespace sim
