#pragma once
// Control lines that change the simulator while it runs ("late 4 500", "normal 4", "replug 500",
// "quit"); the switches among them also serve as command-line options.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "faults.h"

namespace sim {

struct ControlOutcome {
    std::optional<Millis> replugAfter;
    bool quit = false;
};

// Carries out one line split into words. Throws std::invalid_argument with the reason when the
// line is not understood; nothing is changed then.
ControlOutcome ApplyControl(std::span<const std::string> words, FaultTable& faults);

// Whether `name` switches a misbehaviour, and how many words may follow it.
bool IsSwitch(std::string_view name);
std::size_t MaxSwitchWords(std::string_view name);

// Lines for the help text.
std::string ControlHelp();

}  // namespace sim
