#pragma once
// One entry of a slot's trend, and which of its values the window's drop-down picks.

#include <array>
#include <cstdint>
#include <optional>

namespace trend {

// Milliseconds since the epoch on the workstation's clock.
using Milliseconds = std::int64_t;

// What the window's drop-down chooses for commands 3 and 33: the current or a variable.
enum class Variable { Current, First, Second, Third, Fourth };

// A reading, or a break of the slot's line.
struct Sample {
    static constexpr int kMaxValues = 5;

    Milliseconds time = 0;
    std::array<float, kMaxValues> values{};  // as the answer carried them
    std::uint8_t command = 0;                // 0 marks a break

    bool IsBreak() const { return command == 0; }
};

// Where the value `variable` picks lies among the values of a reading of `command`: command 1 its
// pressure whatever is chosen, command 3 the current or a variable, command 33 a variable. None
// for a break or a value the command does not carry.
std::optional<int> ValueIndex(std::uint8_t command, Variable variable);
std::optional<float> ValueOf(const Sample& sample, Variable variable);

}  // namespace trend
