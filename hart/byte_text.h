#pragma once
// Bytes written out for the trace: unsigned decimal values without leading zeros.

#include <QString>
#include <cstdint>
#include <span>

namespace hart {

// "255 255 255": the values separated by one blank.
QString SeparatedByteText(std::span<const std::uint8_t> bytes);
// " 65 32 0 0": one blank before each value.
QString BlankPrefixedByteText(std::span<const std::uint8_t> bytes);

}  // namespace hart
