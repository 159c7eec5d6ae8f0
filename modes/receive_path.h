#pragma once
// The program's receive path in one piece: the collector the port's received-characters event
// feeds, the dispatcher, and the decoder table, wired to the controls they write. The main window
// builds it here, and so do the tests, the fuzzer and the benchmarks, so that they run the wiring
// the program runs.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <span>

#include "commands/decoder_table.h"
#include "commands/protocol_sink.h"
#include "commands/registration_reading_sink.h"
#include "hart/response_collector.h"
#include "hart/response_dispatcher.h"
#include "ui/trace_memo.h"

class TForm5;
class TForm10;
class TStringGrid;
class TTimer;

namespace modes {

struct ReceivePathControls {
    // Setup tab.
    TraceMemo& Memo1;
    QPushButton& Button1;
    QComboBox& ComboBox1;
    TStringGrid& StringGrid1;
    TTimer& Timer3;
    // Registration tab.
    TStringGrid& StringGrid2;
    QComboBox& ComboBox2;
    QCheckBox& CheckBox1;
    hart::SlotTimers slotTimers;
    hart::LampShapes lamps;
    // Dialogs whose choices name and format the answers.
    TForm5& Form5;
    TForm10& Form10;
    // Where registration answers append their protocol lines, and report their values.
    commands::ProtocolSink& protocol;
    commands::RegistrationReadingSink& readings;
};

class ReceivePath {
public:
    // `now` tells the collector the time at which bytes arrive (tests and the fuzzer pass their
    // own clock).
    ReceivePath(hart::ProgramState& state, const ReceivePathControls& controls,
                hart::ResponseCollector::Clock now = std::chrono::steady_clock::now);
    ReceivePath(const ReceivePath&) = delete;
    ReceivePath& operator=(const ReceivePath&) = delete;

    // The port's received-characters handler.
    void SerComm1RxChar(ser::TSerCustomComm& Sender, int Count) {
        collector_.SerComm1RxChar(Sender, Count);
    }
    // Bytes as they arrive, without a port.
    void Collect(std::span<const std::uint8_t> bytes) { collector_.Collect(bytes); }

private:
    commands::DecoderTable decoders_;
    hart::ResponseDispatcher dispatcher_;
    hart::ResponseCollector collector_;
};

}  // namespace modes
