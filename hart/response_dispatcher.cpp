#include "hart/response_dispatcher.h"

#include <span>

#include "hart/byte_text.h"
#include "hart/frame_layout.h"
#include "hart/result_table.h"
#include "hart/time_text.h"
#include "ui/string_grid.h"
#include "ui/timer.h"

namespace hart {

using namespace frame::response;

void ResponseDispatcher::DispatchResponse() {
    const auto& rx = state_.receive;
    std::uint8_t checksum = 0;
    for (int i = kDelimiterAt; i < rx.RxLength; ++i) {
        checksum ^= rx.RxBuf[i];
    }
    state_.request.Checksum = checksum;
    if (state_.session.Mode == kModeSetup) {
        DispatchSetupAnswer();
    } else if (state_.session.Mode == kModeRegistration) {
        DispatchRegistrationAnswer();
    }
}

void ResponseDispatcher::DispatchSetupAnswer() {
    auto& session = state_.session;
    const auto& rx = state_.receive.RxBuf;
    setupAnswered_();
    TraceResponse(QStringLiteral("Получен ответ:"));

    TStringGrid& grid = controls_.StringGrid1;
    grid.SetCell(session.GridRow, column::kAddress, QString::number(rx[kPollAddressAt]));
    grid.SetCell(session.GridRow, column::kCommand, QString::number(rx[kCommandAt]));
    grid.SetCell(session.GridRow, column::kDescription, controls_.ComboBox1.currentText());
    grid.SetCell(session.GridRow, column::kTime, TimeAndDateText());
    decoders_.Decode(rx[kCommandAt], kModeSetup);

    grid.SetRowCount(grid.RowCount() + 1);
    ++session.GridRow;
    grid.SelectLastRow();
}

void ResponseDispatcher::DispatchRegistrationAnswer() {
    auto& slotArrays = state_.slotArrays;
    const auto& rx = state_.receive.RxBuf;
    const std::uint8_t address = rx[kPollAddressAt];
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (slotArrays.SlotEnabled[slot] == 1 && address == slot) {
            controls_.slotTimers[slot]->SetEnabled(false);
        }
    }
    TraceResponse(QStringLiteral("Режим регистрации. Получен ответ:"));
    decoders_.Decode(rx[kCommandAt], kModeRegistration);
    if (address >= 1 && address <= kSlotCount) {
        if (slotArrays.SlotAttempts[address] <= 1) {
            slotArrays.SlotState[address] = kLampGreen;
        } else {
            slotArrays.SlotState[address] = kLampYellow;
            slotArrays.SlotAttempts[address] = 1;
        }
    }
    PaintLamps(slotArrays, controls_.lamps);
}

void ResponseDispatcher::TraceResponse(const QString& heading) {
    const auto& rx = state_.receive;
    controls_.Memo1.AppendLine(heading);
    controls_.Memo1.AppendLine(BlankPrefixedByteText(
        std::span(rx.RxBuf).subspan(1, static_cast<std::size_t>(rx.RxLength))));
}

}  // namespace hart
