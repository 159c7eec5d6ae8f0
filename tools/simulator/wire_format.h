#pragma once
// The bytes of the frames on the line: requests from the master and answers of a transmitter,
// with the four-byte numbers they carry.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace sim {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kPreamble = 255;
// A long frame carries five address bytes, a short frame one.
inline constexpr std::uint8_t kRequestDelimiter = 130;
inline constexpr std::uint8_t kAnswerDelimiter = 134;
inline constexpr std::uint8_t kShortRequestDelimiter = 2;
inline constexpr std::uint8_t kShortAnswerDelimiter = 6;
inline constexpr std::size_t kLongAddressLength = 5;
inline constexpr std::size_t kShortAddressLength = 1;
// The program addresses a device as four 255s followed by its poll address.
inline constexpr std::size_t kAddressFillers = 4;
// The top bits of a standard frame's first address byte: a request of the primary master has the
// first set and the second, burst mode, clear. The bits below hold the poll address of a short
// frame and the start of the unique address of a long one.
inline constexpr std::uint8_t kPrimaryMaster = 0x80;
inline constexpr std::uint8_t kBurstMode = 0x40;
inline constexpr std::uint8_t kAddressBits = 0x3F;
inline constexpr std::size_t kPollFormPreambles = 3;

enum class Addressing {
    Poll,    // long frame, four 255s and the poll address: the program's own form
    Short,   // short frame: the primary master's bit and the poll address
    Unique,  // long frame: the primary master's bit and the unique address
};

// A request that passed its checksum.
struct Request {
    Addressing addressing = Addressing::Poll;
    Bytes address;  // as received, one byte or five
    std::uint8_t command = 0;
    Bytes data;
};

// What a transmitter says, before it is framed.
struct Answer {
    Addressing addressing = Addressing::Poll;
    Bytes address;  // the request's, echoed
    std::size_t preambles = kPollFormPreambles;
    std::uint8_t command = 0;
    std::uint8_t status = 0;  // first status byte, the response code; the second is always 0
    Bytes data;
};

// The status bytes that the byte count of an answer includes: the program's own frames count
// only the data, the standard frames both status bytes as well.
std::size_t StatusBytesCounted(Addressing addressing);

std::uint8_t XorOf(std::span<const std::uint8_t> bytes);

// IEEE 754 single precision, most significant byte first.
void AppendFloat(Bytes& out, float value);
float FloatAt(std::span<const std::uint8_t> bytes, std::size_t offset);

// Preambles, delimiter, address, command, count, two status bytes, data, checksum over everything
// from the delimiter on.
Bytes FrameAnswer(const Answer& answer);

}  // namespace sim
