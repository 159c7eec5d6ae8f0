#pragma once
// Command 33 reads four device variables at once. Its request names their codes, one every
// kVariableGroupSize data bytes; its answer brings a group of kVariableGroupSize bytes for each:
// the code, the unit and the value's four bytes.

#include <cstdint>

namespace commands {

inline constexpr int kVariableGroups = 4;
inline constexpr int kVariableGroupSize = 6;
inline constexpr int kVariableValueAt = 2;  // within a group of the answer
inline constexpr std::uint8_t kVariableRequestBytes =
    (kVariableGroups - 1) * kVariableGroupSize + 1;

}  // namespace commands
