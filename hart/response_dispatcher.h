#pragma once
// Hands a complete response to the mode that owns the line: checksum, trace, time-out, table row,
// decoder, lamps.

#include <QComboBox>
#include <QPushButton>
#include <array>
#include <cstdint>

#include "hart/lamps.h"
#include "hart/program_state.h"
#include "ui/trace_memo.h"

class TStringGrid;
class TTimer;

namespace hart {

// The time-out timers of slots 1..10 (index 0 is unused).
using SlotTimers = std::array<TTimer*, kSlotCount + 1>;

// The decoders, selected by an answer's command number.
class ResponseDecoders {
public:
    virtual ~ResponseDecoders() = default;
    // Decodes the response in RxBuf when `command` has a decoder in `mode`; false when it has none.
    virtual bool Decode(std::uint8_t command, std::uint8_t mode) = 0;
};

// The controls a response touches.
struct DispatchControls {
    TraceMemo& Memo1;
    TTimer& Timer3;
    SlotTimers slotTimers;
    QPushButton& Button1;
    TStringGrid& StringGrid1;
    QComboBox& ComboBox1;
    LampShapes lamps;
};

class ResponseDispatcher {
public:
    ResponseDispatcher(ProgramState& state, const DispatchControls& controls,
                       ResponseDecoders& decoders)
        : state_(state), controls_(controls), decoders_(decoders) {}

    void DispatchResponse();

private:
    void DispatchSetupAnswer();
    void DispatchRegistrationAnswer();
    void TraceResponse(const QString& heading);

    ProgramState& state_;
    DispatchControls controls_;
    ResponseDecoders& decoders_;
};

}  // namespace hart
