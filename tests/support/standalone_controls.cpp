#include "tests/support/standalone_controls.h"

#include "commands/catalogue.h"

StandaloneControls::StandaloneControls(int traceLines) : memo(traceLines) {
    comboBox1.addItems(commands::CatalogueTexts());
    comboBox2.addItems(commands::RegistrationCommandTexts());
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        timerObjects_[slot] = std::make_unique<TTimer>(QStringLiteral("Timer%1").arg(slot + 3));
        shapeObjects_[slot] = std::make_unique<TShape>(QStringLiteral("Shape%1").arg(slot));
        slotTimers[slot] = timerObjects_[slot].get();
        lamps[slot] = shapeObjects_[slot].get();
    }
}

modes::ReceivePathControls StandaloneControls::For(commands::ProtocolSink& protocol,
                                                   commands::RegistrationReadingSink& readings) {
    return {
        .Memo1 = memo,
        .Button1 = button1,
        .ComboBox1 = comboBox1,
        .StringGrid1 = grid1,
        .Timer3 = timer3,
        .StringGrid2 = grid2,
        .ComboBox2 = comboBox2,
        .CheckBox1 = checkBox1,
        .slotTimers = slotTimers,
        .lamps = lamps,
        .Form5 = form5,
        .Form10 = form10,
        .protocol = protocol,
        .readings = readings,
    };
}
