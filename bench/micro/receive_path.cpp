#include "bench/micro/receive_path.h"

#include <QApplication>

#include "ui/string_grid.h"

namespace bench {
namespace {

constexpr int kRowsBeforeStartingOver = 2000;

}  // namespace

ReceivePath::ReceivePath(std::uint8_t mode)
    : setup_(new SetupTab),
      registration_(new RegistrationTab),
      path_(state_, modes::ReceivePathControls{
                        .Memo1 = *setup_->Memo1,
                        .Button1 = *setup_->Button1,
                        .ComboBox1 = *setup_->ComboBox1,
                        .StringGrid1 = *setup_->StringGrid1,
                        .Timer3 = standalone_.timer3,
                        .StringGrid2 = *registration_->StringGrid2,
                        .ComboBox2 = *registration_->ComboBox2,
                        .CheckBox1 = *registration_->CheckBox1,
                        .slotTimers = standalone_.slotTimers,
                        .lamps = registration_->lamps,
                        .Form5 = standalone_.form5,
                        .Form10 = standalone_.form10,
                        .protocol = protocol_,
                        .readings = commands::IgnoredRegistrationReadings(),
                    }) {
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        state_.slotArrays.SlotEnabled[slot] = 1;
        state_.slotArrays.SlotAttempts[slot] = 1;
    }
    standalone_.form5.FormCreate();
    state_.session.Mode = mode;
    window_.addTab(setup_, QStringLiteral("setup"));
    window_.addTab(registration_, QStringLiteral("registration"));
    window_.setCurrentWidget(mode == hart::kModeSetup ? static_cast<QWidget*>(setup_)
                                                      : registration_);
    window_.resize(1200, 800);
    window_.show();
    QApplication::processEvents();
}

void ReceivePath::Settle() {
    QApplication::processEvents();
    if (state_.session.GridRow > kRowsBeforeStartingOver) {
        setup_->StringGrid1->SetRowCount(2);
        state_.session.GridRow = 1;
    }
}

}  // namespace bench
