#pragma once
// The whole program on simulated transmitters: a simulator on a pseudo-terminal, COM1 pointing at
// it, the main window, and the modal windows answered by a driver.

#include <QStringList>
#include <QTemporaryDir>

#include "tests/support/program_window.h"
#include "tests/support/sim_client.h"

namespace detail {

// The simulator with its wire log, and COM1 pointing at it while it lives; built before the
// window and gone after it.
class SimulatorOnCom1 {
protected:
    explicit SimulatorOnCom1(const QStringList& arguments);
    ~SimulatorOnCom1();

    QString WireLog() const;

    QTemporaryDir directory_;
    simtest::SimulatorProcess simulator_;
};

}  // namespace detail

class ProgramFixture : private detail::SimulatorOnCom1, public ProgramWindow {
public:
    // Starts the simulator with `simulatorArguments` (its wire log is added) and the program.
    explicit ProgramFixture(const QStringList& simulatorArguments = {});

    simtest::SimulatorProcess& Simulator() { return simulator_; }
    // Sends a control line to the simulator; true when it accepted it.
    bool Control(const QString& line);
};
