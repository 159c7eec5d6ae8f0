#pragma once
// Four-byte numbers in frames (IEEE 754 single precision, most significant byte first) and their
// texts in the tables, which always use the comma as decimal separator.

#include <QString>
#include <array>
#include <cstdint>

namespace hart {

using FloatBytes = std::array<std::uint8_t, 4>;

// The single-precision number of four received bytes.
float BytesToFloat(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4);

// The table text of four received bytes: fixed notation with exactly seven decimals, the value
// rounded to at most seven significant digits and at most seven decimals; a value with more than
// seven integer digits in exponent notation ("1,234568E+08"); "NAN", "INF", "-INF".
QString BytesToFloatText(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4);

// The four bytes of the single-precision number nearest to a typed text. The first "." is read as
// the decimal comma. Throws EConvertError "'<text after that replacement>' is not a valid
// floating point value" for a text that is no number or lies beyond the single-precision range.
FloatBytes TextToFloatBytes(const QString& text);

// A float text shown as a whole number: read back, rounded to single precision, and written with
// at most seven significant digits and no decimals ("1234"). A text that is not a number (NAN,
// INF) is returned unchanged.
QString WholeNumberText(const QString& floatText);

}  // namespace hart
