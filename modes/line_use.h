#pragma once
// One master on the line, one exchange at a time: the scan of the line and the two modes refuse
// to start while the other holds the line.

#include <QString>

#include "hart/program_state.h"

class TTimer;

namespace modes {

// Whether a setup transaction waits for its answer (its time-out runs) or a registration run is on.
bool ModesHoldTheLine(const hart::SessionState& session, const TTimer& Timer3);

// What "Старт" of either mode says while a scan holds the line.
extern const QString kScanHoldsTheLine;
// What the scan's start says while a mode holds it.
extern const QString kModesHoldTheLine;

}  // namespace modes
