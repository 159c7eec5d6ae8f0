#include "modes/slot_requests.h"

#include "commands/catalogue.h"
#include "commands/registration_blocks.h"
#include "commands/request_builders.h"
#include "hart/frame_sender.h"
#include "ui/conversions.h"
#include "ui/time_text.h"
#include "ui/tstring_grid.h"

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
    const int index = std::max(0, controls_.ComboBox2.currentIndex());
    const auto& command = commands::kRegistrationCommands[static_cast<std::size_t>(index)];
    const QString address = QString::number(slot);
    TStringGrid& grid = controls_.StringGrid2;
    int& row = state_.session.RegRow;
    row = commands::FindBlockRow(grid, address, command.searchRange, command.blockSize);
    grid.SetCell(row, 0, address);
    grid.SetCell(row, 1, commandNumber);
    grid.SetCell(row, 2, controls_.ComboBox2.currentText());
    grid.SetCell(row, 4, QStringLiteral("Нет ответа"));
    grid.SetCell(row, 5, TimeAndDateText());
}

QString SlotRequests::SelectedCommandNumber() const {
    const int index = std::max(0, controls_.ComboBox2.currentIndex());
    return QString::number(commands::kRegistrationCommands[static_cast<std::size_t>(index)].command);
}

}  // namespace modes
