#include "modes/slot_requests.h"

#include "commands/catalogue.h"
#include "commands/registration_blocks.h"
#include "commands/request_builders.h"
#include "hart/conversions.h"
#include "hart/frame_sender.h"
#include "hart/result_table.h"
#include "hart/time_text.h"
#include "ui/string_grid.h"

namespace modes {

void SlotRequests::SendToSlot(int slot, std::optional<int> repeatAttempt) {
    state_.request.PollAddress = static_cast<std::uint8_t>(slot);
    builders_.BuildRegistrationEntry(controls_.ComboBox2.currentIndex());
    if (repeatAttempt) {
        controls_.Memo1.AppendLine(
            QStringLiteral("Датчик №%1: попытка №%2").arg(slot).arg(*repeatAttempt));
    }
    sender_.SendFrame();
}

std::uint8_t SlotRequests::ReadAttemptLimit() {
    state_.session.AttemptLimit =
        static_cast<std::uint8_t>(StrToInt(controls_.LabeledEdit15.text()));
    return state_.session.AttemptLimit;
}

void SlotRequests::WriteNoAnswerRow(int slot, const QString& commandNumber) {
    TStringGrid& grid = controls_.StringGrid2;
    const int row = commands::StartBlock(grid, SelectedCommand().Registration(),
                                         static_cast<std::uint8_t>(slot), commandNumber,
                                         controls_.ComboBox2.currentText());
    state_.session.RegRow = row;
    grid.SetCell(row, hart::column::kValue, QStringLiteral("Нет ответа"));
    grid.SetCell(row, hart::column::kTime, TimeAndDateText());
    readings_.RegistrationSilent(slot);
}

QString SlotRequests::SelectedCommandNumber() const {
    return QString::number(SelectedCommand().number);
}

const commands::CommandRow& SlotRequests::SelectedCommand() const {
    return *commands::PolledRow(std::max(0, controls_.ComboBox2.currentIndex()));
}

}  // namespace modes
