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
#include "commands/decoder_table.h"
#include "commands/units_dialog.h"
#include "commands/variables_dialog.h"
#include "hart/response_collector.h"
#include "hart/response_dispatcher.h"
#include "ui/ttimer.h"

namespace bench {

class ReceivePath {
public:
    explicit ReceivePath(std::uint8_t mode);

    void Receive(std::span<const std::uint8_t> answer) { collector_.Collect(answer); }
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
    TTimer timer3_;
    std::array<std::unique_ptr<TTimer>, hart::kSlotCount + 1> timers_;
    hart::SlotTimers slotTimers_;  // handed to the dispatcher: filled first
    TForm5 form5_{nullptr};
    TForm10 form10_{nullptr};
    NoProtocol protocol_;
    commands::DecoderTable decoders_;
    hart::ResponseDispatcher dispatcher_;
    hart::ResponseCollector collector_;
};

}  // namespace bench
