#pragma once
// Every control the receive path writes, made on their own without the main window: the setup
// tab's trace, button, command list, table and time-out, the registration tab's table, command
// list, protocol box, slot time-outs (Timer4 .. Timer13) and lamps (Shape1 .. Shape10), and the
// two dialogs whose choices name and format answers.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <array>
#include <memory>

#include "commands/units_dialog.h"
#include "commands/variables_dialog.h"
#include "modes/receive_path.h"
#include "ui/shape.h"
#include "ui/string_grid.h"
#include "ui/timer.h"
#include "ui/trace_memo.h"

class StandaloneControls {
public:
    // `traceLines` bounds the trace as the main window's setting does.
    explicit StandaloneControls(int traceLines = 1000);

    // The controls for the receive path, with `protocol` taking the protocol lines and
    // `readings` the registration readings.
    modes::ReceivePathControls For(
        commands::ProtocolSink& protocol,
        commands::RegistrationReadingSink& readings = commands::IgnoredRegistrationReadings());

    TraceMemo memo;
    QPushButton button1{QStringLiteral("Передача...")};
    QComboBox comboBox1;
    TStringGrid grid1{QStringLiteral("StringGrid1"), 6, 2};
    TTimer timer3{QStringLiteral("Timer3")};
    TStringGrid grid2{QStringLiteral("StringGrid2"), 6, 255};
    QComboBox comboBox2;
    QCheckBox checkBox1;
    TForm5 form5{nullptr};
    TForm10 form10{nullptr};
    hart::SlotTimers slotTimers{};
    hart::LampShapes lamps{};

private:
    std::array<std::unique_ptr<TTimer>, hart::kSlotCount + 1> timerObjects_;
    std::array<std::unique_ptr<TShape>, hart::kSlotCount + 1> shapeObjects_;
};
