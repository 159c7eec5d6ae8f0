#include "hart/lamps.h"

#include "ui/shape.h"

namespace hart {

std::optional<QColor> LampColor(std::uint8_t state) {
    switch (state) {
        case kLampSilver:
            return QColor(192, 192, 192);
        case kLampRed:
            return QColor(255, 0, 0);
        case kLampYellow:
            return QColor(255, 255, 0);
        case kLampGreen:
            return QColor(0, 128, 0);
        default:
            return std::nullopt;
    }
}

void PaintLamp(const SlotArrays& slotArrays, const LampShapes& lamps, int slot) {
    if (const auto color = LampColor(slotArrays.SlotState[slot])) {
        lamps[slot]->SetBrushColor(*color);
    }
}

void PaintLamps(const SlotArrays& slotArrays, const LampShapes& lamps) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        PaintLamp(slotArrays, lamps, slot);
    }
}

}  // namespace hart
