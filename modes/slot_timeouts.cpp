#include "modes/slot_timeouts.h"

#include "ui/timer.h"

namespace modes {

void SlotTimeouts::SlotTimeout(int slot) {
    TTimer& timer = *controls_.slotTimers[slot];
    timer.SetEnabled(false);
    controls_.Memo1.AppendLine(
        QStringLiteral("Режим регистрации.Датчик%1: истекло время ожидания...").arg(slot));
    auto& lamp = state_.slotArrays.SlotState[slot];
    auto& attempts = state_.slotArrays.SlotAttempts[slot];
    if (lamp == hart::kLampGreen) {
        lamp = hart::kLampYellow;
    } else if (lamp == hart::kLampYellow || lamp == hart::kLampSilver) {
        lamp = hart::kLampRed;
    }
    ++attempts;
    if (attempts > requests_.ReadAttemptLimit()) {
        lamp = hart::kLampRed;
        attempts = 1;
        requests_.WriteNoAnswerRow(slot, requests_.SelectedCommandNumber());
    } else {
        requests_.SendToSlot(slot, attempts);
        timer.SetInterval(state_.session.ResponseTimeout);
        timer.SetEnabled(true);
    }
    hart::PaintLamp(state_.slotArrays, controls_.lamps, slot);
}

}  // namespace modes
