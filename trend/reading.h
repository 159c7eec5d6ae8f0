#pragma once
// One reading of a slot's trend, or a break of its line, and which of its values the window's
// drop-down picks.

#include <array>
#include <cstdint>
#include <optional>

#include "commands/catalogue.h"

namespace trend {

// Milliseconds since the epoch on the workstation's clock.
using Milliseconds = std::int64_t;

// What the window's drop-down chooses for commands 3 and 33: the current or a variable.
enum class Variable { Current, First, Second, Third, Fourth };

inline constexpr int kMaxValues = commands::kMostPolledValues;

// The unit codes an answer gives with its values, in the same order; 0 where it gives none.
using UnitCodes = std::array<std::uint8_t, kMaxValues>;

// A reading, or a break of the slot's line.
struct Reading {
    Milliseconds time = 0;
    std::array<float, kMaxValues> values{};  // as the answer carried them
    std::uint8_t command = 0;                // 0 marks a break
    UnitCodes units{};

    bool IsBreak() const { return command == 0; }
};

// Where the value `variable` picks lies among the values of a reading of `command`, as the
// command's row in the catalogue lays them out: a reading of a single value gives it whatever is
// chosen. None for a break or a value the command does not carry.
std::optional<int> ValueIndex(std::uint8_t command, Variable variable);
// Whether the choice picks among the values of readings of `command`: not for a single value.
// Before the first reading (command 0) everything may be chosen.
bool ChoiceApplies(std::uint8_t command);
// Whether the current may be chosen for readings of `command`: not where they carry several
// values but no current.
bool CurrentChoosable(std::uint8_t command);
std::optional<float> ValueOf(const Reading& reading, Variable variable);

}  // namespace trend
