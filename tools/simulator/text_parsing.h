#pragma once
// Reading the numbers, lists and address sets of the command line and of control lines. Each
// function throws std::invalid_argument with a message for the operator.

#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "wire_format.h"

namespace sim {

using AddressSet = std::bitset<256>;

// A decimal number from 0 to `max`; `what` names it in the message.
unsigned long ParseNumber(std::string_view text, unsigned long max, std::string_view what);

// The same, also in hexadecimal after "0x".
unsigned long ParseCode(std::string_view text, unsigned long max, std::string_view what);

// "0-10", "0,3,7", "1-3,8".
AddressSet ParseAddressSet(std::string_view text);

// Comma-separated decimal numbers: "8,2,9".
std::vector<std::size_t> ParseSizes(std::string_view text);
Bytes ParseByteList(std::string_view text);

// Splits a line at blanks and tabs.
std::vector<std::string> SplitWords(std::string_view line);

}  // namespace sim
