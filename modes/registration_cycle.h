#pragma once
// Registration mode's polling cycle: start and stop, the one-second tick that counts the period
// down and polls every ticked slot when it runs out, and the period display.

#include "commands/registration_reading_sink.h"
#include "modes/registration_controls.h"
#include "modes/slot_requests.h"

namespace ser {
class TSerCustomComm;
}

namespace modes {

class RegistrationCycle {
public:
    static constexpr int kTickInterval = 1000;  // ms
    // ms after each send of a poll tick. The transmitters share one half-duplex line: the pause
    // leaves it to the addressed one for its answer before the next request keys the modem and
    // talks over it. The answer waits in the port's buffer until the tick has returned.
    static constexpr int kPauseAfterSend = 100;
    static constexpr int kProgressMax = 10000;

    RegistrationCycle(hart::ProgramState& state, const RegistrationControls& controls,
                      ser::TSerCustomComm& port, SlotRequests& requests,
                      commands::RegistrationReadingSink& readings)
        : state_(state),
          controls_(controls),
          port_(port),
          requests_(requests),
          readings_(readings) {}

    // "Старт" / "Стоп".
    void Button2Click();
    void Timer1Timer();
    void TrackBar1Change();
    // Empties the rows blocks of a run can occupy.
    void ClearRegTable();

private:
    void StartRun();
    void StopRun();
    void PollSlots();
    void FinishTick();
    int Period() const { return controls_.TrackBar1.value(); }

    hart::ProgramState& state_;
    RegistrationControls controls_;
    ser::TSerCustomComm& port_;
    SlotRequests& requests_;
    commands::RegistrationReadingSink& readings_;
};

}  // namespace modes
