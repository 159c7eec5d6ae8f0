#include "modes/setup_transaction.h"

#include "commands/request_builders.h"
#include "hart/conversions.h"
#include "hart/frame_sender.h"
#include "hart/result_table.h"
#include "modes/line_use.h"
#include "serial/ser_comm.h"
#include "ui/message_boxes.h"
#include "ui/string_grid.h"
#include "ui/timer.h"

namespace modes {

// "СОМ" is written with Cyrillic letters in both places.
const QString kOpenPortFirst = QStringLiteral(
    "Откройте \u0421\u041E\u041C-порт сначала! (Вкладка \"Настройки \u0421\u041E\u041C-порта\")");

void SetupTransaction::Button1Click() {
    if (state_.session.scanRunning) {
        ShowMessage(kScanHoldsTheLine, controls_.Button1.window());
        return;
    }
    StartSequence();
}

bool SetupTransaction::StartSequence() {
    if (!port_.Active()) {
        ShowMessage(kOpenPortFirst, controls_.Button1.window());
        return false;
    }
    state_.session.Mode = hart::kModeSetup;
    try {
        port_.PurgeRead();
        state_.request.TxFrame.fill(0);
        state_.request.PollAddress =
            static_cast<std::uint8_t>(StrToInt(controls_.LabeledEdit4.text()));
        builders_.BuildCatalogueEntry(controls_.ComboBox1.currentIndex());
        controls_.Button1.setEnabled(false);
        controls_.Button1.setText(QStringLiteral("Передача..."));
        sender_.SendFrame();
    } catch (...) {
        // Nothing is on its way, so nothing can end the transaction but the operator: leave the
        // tab ready for another try, also when this was a repeat.
        EndTransaction();
        throw;
    }
    state_.receive.Restart();
    // A fresh countdown even if a registration pass left the timer running.
    controls_.Timer3.SetEnabled(false);
    controls_.Timer3.SetInterval(state_.session.ResponseTimeout);
    controls_.Timer3.SetEnabled(true);
    return true;
}

void SetupTransaction::Timer3Timer() {
    controls_.Timer3.SetEnabled(false);
    controls_.Memo1.AppendLine(QStringLiteral("Истекло время ожидания..."));
    state_.session.AttemptLimit =
        static_cast<std::uint8_t>(StrToInt(controls_.LabeledEdit15.text()));
    if (state_.session.Mode == hart::kModeSetup) {
        RepeatOrGiveUp();
    } else if (state_.session.Mode == hart::kModeRegistration) {
        // Registration has taken the line: no setup answer will come any more.
        EndTransaction();
        registrationPass_();
    }
}

void SetupTransaction::RepeatOrGiveUp() {
    auto& session = state_.session;
    ++session.AttemptNo;
    if (session.AttemptNo > session.AttemptLimit) {
        controls_.StringGrid1.SetCell(session.GridRow, hart::column::kValue,
                                      QStringLiteral("Нет ответа от датчика"));
        EndTransaction();
        return;
    }
    controls_.Memo1.AppendLine(QStringLiteral("Попытка №") + QString::number(session.AttemptNo));
    state_.receive.Restart();
    if (!StartSequence()) {
        EndTransaction();
    }
}

void SetupTransaction::EndTransaction() {
    EndSetupTransaction(state_.session, controls_.Button1);
}

void EndSetupTransaction(hart::SessionState& session, QPushButton& Button1) {
    Button1.setEnabled(true);
    Button1.setText(QStringLiteral("Старт"));
    session.AttemptNo = 1;
}

}  // namespace modes
