#include "commands/request_builders.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSlider>
#include <span>

#include "commands/damping_dialog.h"
#include "commands/fixed_current_dialog.h"
#include "commands/poll_address_dialog.h"
#include "commands/range_dialog.h"
#include "commands/units_dialog.h"
#include "commands/variables_dialog.h"
#include "hart/value_encodings.h"
#include "ui/conversions.h"
#include "ui/tradio_group.h"

namespace commands {
namespace {

constexpr int kDataAt = 11;  // first data position of the request frame
constexpr int kVariableSpacing = 6;

// Shows a parameter dialog modally and returns when the operator has closed it. A dialog that is
// already showing (a request built again from an event handled inside its own modal loop) is not
// shown a second time; its current values are used.
void ShowModal(QDialog& dialog) {
    if (!dialog.isVisible()) {
        dialog.exec();
    }
}

}  // namespace

const std::array<RequestBuilders::Builder, 10> RequestBuilders::kCatalogue{
    &RequestBuilders::BuildReadPrimary,      &RequestBuilders::BuildReadCurrentAndVariables,
    &RequestBuilders::BuildWritePollAddress, &RequestBuilders::BuildReadDeviceVariables,
    &RequestBuilders::BuildWriteDamping,     &RequestBuilders::BuildWriteRange,
    &RequestBuilders::BuildRangeCorrection,  &RequestBuilders::BuildZeroCorrection,
    &RequestBuilders::BuildFixedCurrent,     &RequestBuilders::BuildWriteUnits,
};

const std::array<RequestBuilders::Builder, 3> RequestBuilders::kRegistration{
    &RequestBuilders::BuildReadPrimary,
    &RequestBuilders::BuildReadCurrentAndVariables,
    &RequestBuilders::BuildReadDeviceVariables,
};

void RequestBuilders::BuildCatalogueEntry(int index) {
    if (index >= 0 && index < static_cast<int>(kCatalogue.size())) {
        (this->*kCatalogue[index])();
    }
}

void RequestBuilders::BuildRegistrationEntry(int index) {
    if (index >= 0 && index < static_cast<int>(kRegistration.size())) {
        (this->*kRegistration[index])();
    }
}

void RequestBuilders::SetCommand(std::uint8_t command, std::uint8_t byteCount) {
    state_.request.TxCommand = command;
    state_.request.TxByteCount = byteCount;
    state_.request.TxFrame[9] = command;
    state_.request.TxFrame[10] = byteCount;
}

void RequestBuilders::SetData(int index, std::uint8_t value) {
    state_.request.TxFrame[kDataAt + index] = value;
}

void RequestBuilders::BuildReadPrimary() {
    SetCommand(1, 0);
}

void RequestBuilders::BuildReadCurrentAndVariables() {
    SetCommand(3, 0);
}

void RequestBuilders::BuildWritePollAddress() {
    // The address is asked for at every sending, repeats included.
    ShowModal(dialogs_.Form3);
    SetData(0, static_cast<std::uint8_t>(StrToInt(dialogs_.Form3.LabeledEdit1->text())));
    SetCommand(6, 1);
}

void RequestBuilders::BuildReadDeviceVariables() {
    auto& session = state_.session;
    if (session.Mode == hart::kModeRegistration) {
        // Chosen once per registration run, at its first variables request.
        if (session.AskVariablesFlag == 1) {
            session.AskVariablesFlag = 0;
            ShowModal(dialogs_.Form5);
        }
    } else if (FirstSending()) {
        ShowModal(dialogs_.Form5);
    }
    const TForm5& form = dialogs_.Form5;
    const std::array lists{form.ComboBox1, form.ComboBox2, form.ComboBox3, form.ComboBox4};
    for (int group = 0; group < static_cast<int>(lists.size()); ++group) {
        SetData(group * kVariableSpacing, static_cast<std::uint8_t>(lists[group]->currentIndex()));
    }
    SetCommand(33, 19);
}

void RequestBuilders::BuildWriteDamping() {
    if (FirstSending()) {
        ShowModal(dialogs_.Form6);
    }
    const auto bytes = hart::TextToFloatBytes(QString::number(dialogs_.Form6.TrackBar1->value()));
    for (int i = 0; i < 4; ++i) {
        SetData(i, bytes[i]);
    }
    SetCommand(34, 4);
}

void RequestBuilders::BuildWriteRange() {
    if (FirstSending()) {
        ShowModal(dialogs_.Form7);
    }
    // The upper value goes first, although the dialog asks for the lower one first.
    const auto upper = hart::TextToFloatBytes(dialogs_.Form7.Edit2->text());
    const auto lower = hart::TextToFloatBytes(dialogs_.Form7.Edit1->text());
    SetData(0, 0);
    for (int i = 0; i < 4; ++i) {
        SetData(1 + i, upper[i]);
        SetData(5 + i, lower[i]);
    }
    SetCommand(35, 9);
}

void RequestBuilders::BuildRangeCorrection() {
    SetCommand(36, 0);
}

void RequestBuilders::BuildZeroCorrection() {
    SetCommand(37, 0);
}

void RequestBuilders::BuildFixedCurrent() {
    if (FirstSending()) {
        ShowModal(dialogs_.Form9);
    }
    const auto bytes = hart::TextToFloatBytes(dialogs_.Form9.LabeledEdit1->text());
    for (int i = 0; i < 4; ++i) {
        SetData(i, bytes[i]);
    }
    SetCommand(40, 4);
}

void RequestBuilders::BuildWriteUnits() {
    if (FirstSending()) {
        ShowModal(dialogs_.Form10);
    }
    SetData(0, static_cast<std::uint8_t>(dialogs_.Form10.RadioGroup1->ItemIndex()));
    SetCommand(44, 1);
}

}  // namespace commands
