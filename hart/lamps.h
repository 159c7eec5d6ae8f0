#pragma once
// The registration slots' status lamps, painted from their lamp states.

#include <QColor>
#include <array>
#include <cstdint>
#include <optional>

#include "hart/program_state.h"

class TShape;

namespace hart {

// The lamps of slots 1..10 (index 0 is unused).
using LampShapes = std::array<TShape*, kSlotCount + 1>;

// The colour of a lamp state: silver, red, yellow, green; none for a state outside 0..3.
std::optional<QColor> LampColor(std::uint8_t state);

// Paints slot k's lamp from SlotState[k]; a state outside 0..3 leaves it as it is.
void PaintLamp(const SlotArrays& slotArrays, const LampShapes& lamps, int slot);

// Paints all ten lamps.
void PaintLamps(const SlotArrays& slotArrays, const LampShapes& lamps);

}  // namespace hart
