#include "modes/registration_cycle.h"

#include <cmath>
#include <thread>

#include "commands/catalogue.h"
#include "hart/result_table.h"
#include "modes/line_use.h"
#include "modes/setup_transaction.h"
#include "serial/ser_comm.h"
#include "ui/message_boxes.h"
#include "ui/string_grid.h"
#include "ui/timer.h"

namespace modes {
namespace {

QString SecondsText(int seconds) {
    return QString::number(seconds) + QStringLiteral(" c");  // Latin "c"
}

}  // namespace

void RegistrationCycle::Button2Click() {
    if (!port_.Active()) {
        ShowMessage(kOpenPortFirst, controls_.Button2.window());
        return;
    }
    auto& session = state_.session;
    if (session.scanRunning && !session.registrationRunning) {
        ShowMessage(kScanHoldsTheLine, controls_.Button2.window());
        return;
    }
    session.AskVariablesFlag = 1;
    state_.receive.Restart();
    session.Mode = hart::kModeRegistration;
    session.RegRow = 1;
    if (!CaptureSlots(state_.slotArrays, controls_.slotBoxes)) {
        ShowMessage(QStringLiteral("Ни один датчик не выбран"), controls_.Button2.window());
        return;
    }
    if (session.registrationRunning) {
        StopRun();
    } else {
        StartRun();
    }
}

void RegistrationCycle::StartRun() {
    state_.session.registrationRunning = true;
    ClearRegTable();
    readings_.RegistrationStarted();
    controls_.TrackBar1.setEnabled(false);
    controls_.ComboBox2.setEnabled(false);
    controls_.CheckBox1.setEnabled(false);
    controls_.Button2.setText(QStringLiteral("Стоп"));
    auto& slotArrays = state_.slotArrays;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        slotArrays.SlotState[slot] = hart::kLampSilver;
        slotArrays.SlotAttempts[slot] = 1;
    }
    hart::PaintLamps(slotArrays, controls_.lamps);
    LockSlotBoxes(controls_.slotBoxes, true);
    controls_.Timer1.SetInterval(kTickInterval);
    controls_.ProgressBar1.setMaximum(kProgressMax);
    controls_.ProgressBar1.setValue(0);
    state_.session.PeriodCounter = Period();
    controls_.Label33.setText(SecondsText(Period()));
    Timer1Timer();
    controls_.Timer1.SetEnabled(true);
}

void RegistrationCycle::StopRun() {
    state_.session.registrationRunning = false;
    state_.session.AskVariablesFlag = 0;
    controls_.CheckBox1.setEnabled(true);
    controls_.TrackBar1.setEnabled(true);
    controls_.ComboBox2.setEnabled(true);
    controls_.Button2.setText(QStringLiteral("Старт"));
    controls_.ProgressBar1.setValue(0);
    LockSlotBoxes(controls_.slotBoxes, false);
    controls_.Timer1.SetEnabled(false);
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        controls_.slotTimers[slot]->SetEnabled(false);
    }
}

void RegistrationCycle::ClearRegTable() {
    for (int row = 1; row <= commands::kMostRegistrationRows; ++row) {
        for (int column = 0; column < hart::column::kCount; ++column) {
            controls_.StringGrid2.SetCell(row, column, QString());
        }
    }
}

void RegistrationCycle::Timer1Timer() {
    controls_.Timer1.SetEnabled(false);
    auto& session = state_.session;
    if (session.PeriodCounter == Period()) {
        try {
            PollSlots();
        } catch (...) {
            // A failed send must not stop the run: the next tick still comes.
            FinishTick();
            throw;
        }
    } else {
        ++session.PeriodCounter;
    }
    FinishTick();
}

void RegistrationCycle::PollSlots() {
    controls_.Label33.setText(SecondsText(0));
    controls_.ProgressBar1.setValue(kProgressMax);
    state_.session.PeriodCounter = 1;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        if (state_.slotArrays.SlotEnabled[slot] != 1) {
            continue;
        }
        requests_.SendToSlot(slot);
        TTimer& timeout = *controls_.slotTimers[slot];
        timeout.SetInterval(state_.session.ResponseTimeout);
        timeout.SetEnabled(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauseAfterSend));
    }
    controls_.ProgressBar1.setValue(0);
}

void RegistrationCycle::FinishTick() {
    controls_.Timer1.SetEnabled(true);
    const int period = Period();
    controls_.Label33.setText(SecondsText(period - state_.session.PeriodCounter + 1));
    // Round half to even, as the bar's steps of 10000 / P are rounded.
    const double next = controls_.ProgressBar1.value() + static_cast<double>(kProgressMax) / period;
    controls_.ProgressBar1.setValue(std::min(kProgressMax, static_cast<int>(std::nearbyint(next))));
    hart::PaintLamps(state_.slotArrays, controls_.lamps);
}

void RegistrationCycle::TrackBar1Change() {
    controls_.Label1.setText(SecondsText(controls_.TrackBar1.value()));
}

}  // namespace modes
