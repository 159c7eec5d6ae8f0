#pragma once
// The response time-out of each registration slot (Timer4 .. Timer13): trace the silence, step the
// lamp towards red, then repeat the request or, past the attempt limit, give up with a
// "no answer" row. One routine serves all ten slots.

#include "modes/registration_controls.h"
#include "modes/slot_requests.h"

namespace modes {

class SlotTimeouts {
public:
    SlotTimeouts(hart::ProgramState& state, const RegistrationControls& controls,
                 SlotRequests& requests)
        : state_(state), controls_(controls), requests_(requests) {}

    // Expiry of slot `slot`'s timer (1..10).
    void SlotTimeout(int slot);

private:
    hart::ProgramState& state_;
    RegistrationControls controls_;
    SlotRequests& requests_;
};

}  // namespace modes
