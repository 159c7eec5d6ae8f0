#pragma once
// Frames written out for tests, framed here on their own rather than with the program's code.

#include <cstdint>
#include <vector>

namespace testframes {

using Bytes = std::vector<std::uint8_t>;

// A request as the master sends it: three preambles, 130, 255 255 255 255, the poll address,
// command, byte count, data, checksum.
Bytes Request(std::uint8_t address, std::uint8_t command, const Bytes& data = {});

// An answer as a transmitter sends it: three preambles, 134, 255 255 255 255, the address,
// command, the count of `data`, two status bytes 0, data, checksum (spoilt unless `goodChecksum`).
Bytes Response(std::uint8_t address, std::uint8_t command, const Bytes& data,
               bool goodChecksum = true);

Bytes Concat(const Bytes& first, const Bytes& second);

// The checksum of `frame` without its last byte: the exclusive or from the start delimiter on,
// the delimiter coming after three preambles.
std::uint8_t ChecksumOf(const Bytes& frame);

}  // namespace testframes
