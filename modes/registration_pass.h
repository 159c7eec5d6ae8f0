#pragma once
// A setup time-out that fires after registration has taken the line repeats the requests of every
// ticked slot that has not answered yet, driven by the setup time-out timer.

#include "modes/registration_controls.h"
#include "modes/slot_requests.h"

namespace modes {

class RegistrationPass {
public:
    RegistrationPass(hart::ProgramState& state, const RegistrationControls& controls,
                     SlotRequests& requests)
        : state_(state), controls_(controls), requests_(requests) {}

    // One pass over slots 1..10; expects AttemptLimit to be read already.
    void Run();

private:
    void RepeatSlot(int slot);

    hart::ProgramState& state_;
    RegistrationControls controls_;
    SlotRequests& requests_;
};

}  // namespace modes
