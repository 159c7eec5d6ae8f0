#pragma once
// The whole program on simulated transmitters: a simulator on a pseudo-terminal, COM1 pointing at
// it, the main window, and the modal windows answered by a driver.

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "tests/support/find_control.h"
#include "tests/support/modal_driver.h"
#include "tests/tools/sim_client.h"

class TStringGrid;

class ProgramFixture {
public:
    // Starts the simulator with `simulatorArguments` (its wire log is added) and the program.
    explicit ProgramFixture(const QStringList& simulatorArguments = {});
    ~ProgramFixture();

    TForm1& Form() { return *form_; }
    hart::ProgramState& State() { return form_->State(); }
    simtest::SimulatorProcess& Simulator() { return simulator_; }
    ModalDriver& Modals() { return modals_; }

    // A control of a tab (see find_control.h).
    template <typename Control>
    Control* Find(const char* tab, const char* name) {
        return ::Find<Control>(*form_, tab, name);
    }
    // A timer of the main window ("Timer1", "Timer3", "Timer4" .. "Timer13").
    TTimer* Timer(const char* name);

    // Sends a control line to the simulator; true when it accepted it.
    bool Control(const QString& line);

    // The trace memo's lines.
    QStringList Trace();
    TStringGrid& SetupTable();
    TStringGrid& RegistrationTable();
    // A request frame the simulator received, and when (ms since the simulator started).
    struct WireFrame {
        double ms;
        simtest::Bytes bytes;
    };
    std::vector<WireFrame> RequestLog() const;
    // Request frames the simulator received so far, in order.
    std::vector<simtest::Bytes> RequestsOnWire() const;

private:
    QTemporaryDir directory_;
    ModalDriver modals_;
    simtest::SimulatorProcess simulator_;
    std::unique_ptr<TForm1> form_;
};
