#pragma once
// HART's packed ASCII: four characters of six bits in three bytes, the first character in the
// most significant bits. It holds the characters from ' ' to '_' (capitals, digits and most
// punctuation), each as its own low six bits. Kept free of the rest of the simulator, so that a
// test of the program's decoder can use it as the side that was written independently.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace sim {

// `text` padded with spaces to `characters` (a multiple of four) and packed into three quarters
// as many bytes. Throws std::invalid_argument when the text is longer, or holds a character that
// packed ASCII lacks (lower case among them).
std::vector<std::uint8_t> PackAscii(std::string_view text, std::size_t characters);

}  // namespace sim
