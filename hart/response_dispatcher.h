#pragma once
// Hands a complete response to the mode that owns the line: checksum, trace, table row, decoder,
// slot time-out and lamps.

#include <QComboBox>
#include <array>
#include <cstdint>
#include <functional>

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
    TStringGrid& StringGrid1;
    QComboBox& ComboBox1;
    SlotTimers slotTimers;
    LampShapes lamps;
};

class ResponseDispatcher {
public:
    // `setupAnswered` ends the setup transaction an answer has come for; the setup mode owns it.
    ResponseDispatcher(ProgramState& state, const DispatchControls& controls,
                       ResponseDecoders& decoders, std::function<void()> setupAnswered)
        : state_(state),
          controls_(controls),
          decoders_(decoders),
          setupAnswered_(std::move(setupAnswered)) {}

    void DispatchResponse();

private:
    void DispatchSetupAnswer();
    void DispatchRegistrationAnswer();
    void TraceResponse(const QString& heading);

    ProgramState& state_;
    DispatchControls controls_;
    ResponseDecoders& decoders_;
    std::function<void()> setupAnswered_;
};

}  // namespace hart
