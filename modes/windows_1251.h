#pragma once
// Text in the single-byte Windows-1251 code page, the encoding of the protocol files.

#include <QString>
#include <string>

namespace modes {

// The Windows-1251 bytes of `text`; a character the code page lacks becomes "?".
std::string ToWindows1251(const QString& text);

}  // namespace modes
