#include "modes/registration_controls.h"

namespace modes {

bool CaptureSlots(hart::SlotArrays& slotArrays, const SlotBoxes& boxes) {
    bool any = false;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        slotArrays.SlotEnabled[slot] = boxes[slot]->isChecked() ? 1 : 0;
        any = any || slotArrays.SlotEnabled[slot] == 1;
    }
    return any;
}

void LockSlotBoxes(const SlotBoxes& boxes, bool locked) {
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        boxes[slot]->setEnabled(!locked);
    }
}

}  // namespace modes
