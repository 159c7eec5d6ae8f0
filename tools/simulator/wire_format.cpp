#include "wire_format.h"

#include <bit>

namespace sim {

std::uint8_t XorOf(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : bytes) {
        sum ^= byte;
    }
    return sum;
}

void AppendFloat(Bytes& out, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(bits >> shift));
    }
}

float FloatAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        bits = (bits << 8) | bytes[offset + i];
    }
    return std::bit_cast<float>(bits);
}

std::size_t StatusBytesCounted(Addressing addressing) {
    return addressing == Addressing::Poll ? 0 : 2;
}

Bytes FrameAnswer(const Answer& answer) {
    Bytes frame(answer.preambles, kPreamble);
    frame.push_back(answer.addressing == Addressing::Short ? kShortAnswerDelimiter
                                                           : kAnswerDelimiter);
    frame.insert(frame.end(), answer.address.begin(), answer.address.end());
    frame.push_back(answer.command);
    frame.push_back(
        static_cast<std::uint8_t>(answer.data.size() + StatusBytesCounted(answer.addressing)));
    frame.push_back(answer.status);
    frame.push_back(0);
    frame.insert(frame.end(), answer.data.begin(), answer.data.end());
    frame.push_back(XorOf(std::span(frame).subspan(answer.preambles)));
    return frame;
}

}  // namespace sim
