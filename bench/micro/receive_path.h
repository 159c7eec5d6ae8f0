#pragma once
// The receive path wired as the main window wires it, on the real setup and registration tabs:
// collector, dispatcher and decoder table, with the tab of the mode in front in a shown window.

#include <QTabWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "app/registration_tab.h"
#include "app/setup_tab.h"
#include "modes/receive_path.h"
#include "tests/support/standalone_controls.h"
#include "ui/timer.h"

namespace bench {

class ReceivePath {
public:
    explicit ReceivePath(std::uint8_t mode);

    void Receive(std::span<const std::uint8_t> answer) { path_.Collect(answer); }
    // Lets pending repaints run and starts the setup table over once it has grown long.
    void Settle();

private:
    class NoProtocol : public commands::ProtocolSink {
        void ProtocolWrite(std::uint8_t, const QString&) override {}
        void ProtocolEndLine(std::uint8_t) override {}
    };

    hart::ProgramState state_;
    QTabWidget window_;
    SetupTab* setup_;
    RegistrationTab* registration_;
    // The timers and dialogs the main window would own; the tabs' own controls are used instead
    // of the others.
    StandaloneControls standalone_;
    NoProtocol protocol_;
    modes::ReceivePath path_;
};

}  // namespace bench
