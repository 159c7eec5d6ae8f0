#pragma once
// Text to number conversions with the standard conversion errors the operator sees.

#include <QString>
#include <stdexcept>

// A text that does not convert to a number.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a decimal integer: optional blanks, an optional sign, digits, optional blanks; the value
// must fit 32 bits. Otherwise throws EConvertError "'<text>' is not a valid integer value".
int StrToInt(const QString& text);

// Throws EConvertError "'<text>' is not a valid floating point value".
[[noreturn]] void ThrowNotAFloat(const QString& text);
