#include "packed_ascii.h"

#include <stdexcept>
#include <string>

namespace sim {

namespace {

constexpr char kFirstPackable = ' ';
constexpr char kLastPackable = '_';
constexpr std::size_t kCharactersPerGroup = 4;
constexpr std::size_t kBitsPerCharacter = 6;
constexpr std::uint8_t kCharacterBits = 0x3F;

}  // namespace

std::vector<std::uint8_t> PackAscii(std::string_view text, std::size_t characters) {
    if (characters % kCharactersPerGroup != 0) {
        throw std::invalid_argument("packed ASCII comes in groups of four characters");
    }
    if (text.size() > characters) {
        throw std::invalid_argument("'" + std::string(text) + "' is longer than " +
                                    std::to_string(characters) + " characters");
    }
    for (const char c : text) {
        if (c < kFirstPackable || c > kLastPackable) {
            throw std::invalid_argument("'" + std::string(text) +
                                        "' holds a character that packed ASCII lacks (only ' ' "
                                        "to '_', capitals)");
        }
    }
    std::string padded(text);
    padded.resize(characters, ' ');
    std::vector<std::uint8_t> packed;
    for (std::size_t group = 0; group < characters; group += kCharactersPerGroup) {
        std::uint32_t bits = 0;
        for (std::size_t i = 0; i < kCharactersPerGroup; ++i) {
            bits = (bits << kBitsPerCharacter) |
                   (static_cast<std::uint8_t>(padded[group + i]) & kCharacterBits);
        }
        for (int shift = 16; shift >= 0; shift -= 8) {
            packed.push_back(static_cast<std::uint8_t>(bits >> shift));
        }
    }
    return packed;
}

}  // namespace sim
