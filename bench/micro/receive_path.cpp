#include "bench/micro/receive_path.h"

#include <QApplication>

#include "ui/tstring_grid.h"

namespace bench {
namespace {

constexpr int kRowsBeforeStartingOver = 2000;

}  // namespace

ReceivePath::ReceivePath(std::uint8_t mode)
    : setup_(new SetupTab),
      registration_(new RegistrationTab),
      timer3_(QStringLiteral("Timer3")),
      timers_([] {
          std::array<std::unique_ptr<TTimer>, hart::kSlotCount + 1> timers;
          for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
              timers[slot] = std::make_unique<TTimer>(QStringLiteral("Timer%1").arg(slot + 3));
          }
          return timers;
      }()),
      slotTimers_([this] {
          hart::SlotTimers timers{};
          for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
              timers[slot] = timers_[slot].get();
          }
          return timers;
      }()),
      decoders_(commands::DecoderContext{state_, *setup_->StringGrid1, *registration_->StringGrid2,
                                         *registration_->ComboBox2, *registration_->CheckBox1,
                                         form5_, form10_, protocol_}),
      dispatcher_(
          state_,
          hart::DispatchControls{*setup_->Memo1, timer3_, slotTimers_, *setup_->Button1,
                                 *setup_->StringGrid1, *setup_->ComboBox1, registration_->lamps},
          decoders_),
      collector_(state_.receive, *setup_->Memo1, [this] { dispatcher_.DispatchResponse(); }) {
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        state_.slotArrays.SlotEnabled[slot] = 1;
        state_.slotArrays.SlotAttempts[slot] = 1;
    }
    form5_.FormCreate();
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
