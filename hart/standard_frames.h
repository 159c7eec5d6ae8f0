#pragma once
// HART's standard framing, for the commands every device answers the same way (its identity, its
// tag): short frames to a poll address, long frames to a unique address, and the answers to both.
// Unlike the program's own frame, a standard answer counts its two status bytes in its byte count.

#include <QStringList>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace hart::standard {

using Bytes = std::vector<std::uint8_t>;
inline constexpr std::uint8_t kShortRequestDelimiter = 2;
inline constexpr std::uint8_t kLongRequestDelimiter = 130;
inline constexpr std::uint8_t kShortAnswerDelimiter = 6;
inline constexpr std::uint8_t kLongAnswerDelimiter = 134;
inline constexpr std::uint8_t kPrimaryMaster = 0x80;
inline constexpr int kRequestPreambles = 5;
inline constexpr int kHighestPollAddress = 63;
using UniqueAddress = std::array<std::uint8_t, 5>;

// {0x80 | (pollAddress & 0x3F)}.
Bytes ShortAddress(std::uint8_t pollAddress);
// The unique address with the two top bits of its first byte (master and burst) replaced by the
// primary-master bit.
Bytes LongAddress(const UniqueAddress& uniqueAddress);
// A whole request: kRequestPreambles x 0xFF, delimiter 2 (1 address byte) or 130 (5), address,
// command, byte count, data, checksum. Throws std::invalid_argument for an address of another
// length or more than 255 data bytes.
Bytes Request(std::span<const std::uint8_t> address, std::uint8_t command,
              std::span<const std::uint8_t> data = {});
// The trace lines of a request, in the same forms as the program's own frames (which this also
// traces: they are long frames with three preambles). Throws std::invalid_argument when the bytes
// are not one whole request.
QStringList TraceLines(std::span<const std::uint8_t> request);

struct Answer {
    Bytes frame;  // from the delimiter to the checksum, for the trace
    bool checksumGood = false;
    Bytes address;  // 1 or 5 bytes as echoed
    std::uint8_t command = 0;
    std::uint8_t byteCount = 0;
    std::uint8_t responseCode = 0;  // 0 when byteCount < 1
    std::uint8_t deviceStatus = 0;  // 0 when byteCount < 2
    Bytes data;                     // after the two status bytes (empty when byteCount <= 2)
};

// Finds standard answers in the bytes as they arrive: at least two preambles 0xFF, then a
// delimiter 6 or 134 (anything else before is noise, skipped); then address, command, byte count,
// byteCount bytes, checksum. Bounded memory: a frame is at most 1+5+2+255+1 bytes after the
// preambles.
class AnswerReader {
public:
    // The answers these bytes complete, in order (possibly several, possibly none).
    std::vector<Answer> Feed(std::span<const std::uint8_t> bytes);
    // Forgets a partial answer and any preambles seen.
    void Restart();
    // True when an answer has begun (a delimiter was seen) but is not complete.
    bool Partial() const { return !frame_.empty(); }

private:
    void Hunt(std::uint8_t byte);

    int preambles_ = 0;  // consecutive 0xFF seen while hunting, counted up to the two needed
    Bytes frame_;        // the answer begun, from its delimiter
};

}  // namespace hart::standard
