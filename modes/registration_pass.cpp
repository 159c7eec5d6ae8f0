#include "modes/registration_pass.h"

#include "ui/timer.h"

namespace modes {

void RegistrationPass::Run() {
    auto& slotArrays = state_.slotArrays;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        if (slotArrays.SlotEnabled[slot] == 0) {
            slotArrays.SlotState[slot] = hart::kLampSilver;
        } else if (slotArrays.SlotEnabled[slot] == 1 &&
                   slotArrays.SlotState[slot] < hart::kLampGreen) {
            RepeatSlot(slot);
        }
    }
    hart::PaintLamps(slotArrays, controls_.lamps);
}

void RegistrationPass::RepeatSlot(int slot) {
    auto& lamp = state_.slotArrays.SlotState[slot];
    auto& attempts = state_.slotArrays.SlotAttempts[slot];
    if (lamp == hart::kLampYellow) {
        lamp = hart::kLampRed;
    } else if (lamp == hart::kLampSilver) {
        lamp = hart::kLampYellow;
    }
    ++attempts;
    if (attempts > state_.session.AttemptLimit) {
        lamp = hart::kLampRed;
        attempts = 1;
        // The command of the last request built, which is what the slot was last sent.
        requests_.WriteNoAnswerRow(slot, QString::number(state_.request.TxCommand));
        return;
    }
    requests_.SendToSlot(slot, attempts);
    controls_.Timer3.SetInterval(state_.session.ResponseTimeout);
    controls_.Timer3.SetEnabled(true);
}

}  // namespace modes
