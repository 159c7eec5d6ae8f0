#pragma once
// The controls registration mode works with, on the registration tab and beside it.

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <array>
#include <functional>

#include "hart/lamps.h"
#include "hart/response_dispatcher.h"
#include "ui/trace_memo.h"

class TStringGrid;
class TTimer;

namespace modes {

// The tick boxes of slots 1..10 (index 0 is unused).
using SlotBoxes = std::array<QCheckBox*, hart::kSlotCount + 1>;

struct RegistrationControls {
    SlotBoxes slotBoxes;
    hart::LampShapes lamps;
    hart::SlotTimers slotTimers;  // Timer4 .. Timer13
    QComboBox& ComboBox2;
    QSlider& TrackBar1;
    QLabel& Label1;
    QLabel& Label33;
    QProgressBar& ProgressBar1;
    QPushButton& Button2;
    QCheckBox& CheckBox1;
    TStringGrid& StringGrid2;
    std::function<QFileDialog&()> OpenDialog1;  // made when first asked for
    TTimer& Timer1;
    TTimer& Timer3;
    TraceMemo& Memo1;
    QLineEdit& LabeledEdit15;  // attempt limit, on the setup tab
};

// SlotEnabled[k] := whether slot k's box is ticked; true when at least one is.
bool CaptureSlots(hart::SlotArrays& slotArrays, const SlotBoxes& boxes);

// Locks (disables) or unlocks the ten slot tick boxes.
void LockSlotBoxes(const SlotBoxes& boxes, bool locked);

}  // namespace modes
