#pragma once
// The program's receive path with the controls it writes: the port's received-characters handler
// and its collector, the dispatcher, every decoder in both modes. Each input first puts the shared
// state into the position its header names, so that an input always does the same thing however
// many came before it; then its bytes arrive chunk by chunk, and the rules that must hold after
// every chunk are checked.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "commands/decoder_table.h"
#include "commands/units_dialog.h"
#include "commands/variables_dialog.h"
#include "fuzz/checked_protocol_sink.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/memory_port.h"
#include "hart/response_collector.h"
#include "hart/response_dispatcher.h"
#include "ui/trace_memo.h"
#include "ui/tshape.h"
#include "ui/tstring_grid.h"
#include "ui/ttimer.h"

namespace fuzzing {

class ReceivePathHarness {
public:
    ReceivePathHarness();
    ReceivePathHarness(const ReceivePathHarness&) = delete;
    ReceivePathHarness& operator=(const ReceivePathHarness&) = delete;

    void Run(std::span<const std::uint8_t> data);

private:
    // The ten slot timers and lamps, made before the dispatcher that is handed their addresses.
    struct SlotControls {
        SlotControls();
        std::array<std::unique_ptr<TTimer>, hart::kSlotCount + 1> timerObjects;
        std::array<std::unique_ptr<TShape>, hart::kSlotCount + 1> shapeObjects;
        hart::SlotTimers timers{};
        hart::LampShapes lamps{};
    };

    void Reset(const Setup& setup);
    void FillEarlierBlocks(const Setup& setup);
    void MaybeChangeMode(Choices& choices);
    void Deliver(std::span<const std::uint8_t> chunk, bool throughPort, Choices& choices);
    // Moves the collector's clock on: mostly a few milliseconds, now and then a pause.
    void LetTimePass(Choices& choices);
    void CheckRules() const;

    hart::ProgramState state_;
    std::chrono::steady_clock::time_point now_{};
    // A short trace, so that long inputs also drop its oldest lines.
    TraceMemo memo_{1000};
    TTimer timer3_{QStringLiteral("Timer3")};
    SlotControls slotControls_;
    QPushButton button1_;
    TStringGrid grid1_{QStringLiteral("StringGrid1"), 6, 2};
    TStringGrid grid2_{QStringLiteral("StringGrid2"), 6, 255};
    QComboBox comboBox1_;
    QComboBox comboBox2_;
    QCheckBox checkBox1_;
    TForm5 form5_{nullptr};
    TForm10 form10_{nullptr};
    CheckedProtocolSink sink_{state_, checkBox1_};
    commands::DecoderTable decoders_{commands::DecoderContext{state_, grid1_, grid2_, comboBox2_,
                                                              checkBox1_, form5_, form10_, sink_}};
    hart::ResponseDispatcher dispatcher_;
    hart::ResponseCollector collector_;
    MemoryPort port_;
};

// Runs one input through a harness made on first use, in an offscreen application.
void RunReceivePath(std::span<const std::uint8_t> data);

}  // namespace fuzzing
