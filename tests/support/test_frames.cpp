#include "tests/support/test_frames.h"

namespace testframes {
namespace {

constexpr std::size_t kChecksumFrom = 3;  // the start delimiter

Bytes Framed(Bytes header, const Bytes& data, bool goodChecksum) {
    header.insert(header.end(), data.begin(), data.end());
    header.push_back(0);
    const std::uint8_t checksum = ChecksumOf(header);
    header.back() = goodChecksum ? checksum : static_cast<std::uint8_t>(checksum ^ 0x5A);
    return header;
}

}  // namespace

Bytes Request(std::uint8_t address, std::uint8_t command, const Bytes& data) {
    return Framed({255, 255, 255, 130, 255, 255, 255, 255, address, command,
                   static_cast<std::uint8_t>(data.size())},
                  data, true);
}

Bytes Response(std::uint8_t address, std::uint8_t command, const Bytes& data, bool goodChecksum) {
    return Framed({255, 255, 255, 134, 255, 255, 255, 255, address, command,
                   static_cast<std::uint8_t>(data.size()), 0, 0},
                  data, goodChecksum);
}

Bytes Concat(const Bytes& first, const Bytes& second) {
    Bytes joined = first;
    joined.insert(joined.end(), second.begin(), second.end());
    return joined;
}

std::uint8_t ChecksumOf(const Bytes& frame) {
    std::uint8_t checksum = 0;
    for (std::size_t i = kChecksumFrom; i + 1 < frame.size(); ++i) {
        checksum ^= frame[i];
    }
    return checksum;
}

}  // namespace testframes
