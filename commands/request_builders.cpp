#include "commands/request_builders.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSlider>
#include <span>

#include "commands/catalogue.h"
#include "commands/damping_dialog.h"
#include "commands/fixed_current_dialog.h"
#include "commands/poll_address_dialog.h"
#include "commands/range_dialog.h"
#include "commands/units_dialog.h"
#include "commands/variables_dialog.h"
#include "hart/conversions.h"
#include "hart/frame_layout.h"
#include "hart/value_encodings.h"
#include "ui/radio_group.h"

namespace commands {
namespace {

// Shows a parameter dialog modally and returns when the operator has closed it. A dialog that is
// already showing (a request built again from an event handled inside its own modal loop) is not
// shown a second time; its current values are used.
void ShowModal(QDialog& dialog) {
    if (!dialog.isVisible()) {
        dialog.exec();
    }
}

}  // namespace

void RequestBuilders::BuildCatalogueEntry(int index) {
    Build(CatalogueRow(index));
}

void RequestBuilders::BuildRegistrationEntry(int index) {
    Build(PolledRow(index));
}

void RequestBuilders::Build(const CommandRow* row) {
    if (row == nullptr) {
        return;
    }
    if (row->build != nullptr) {
        (this->*row->build)();
    }
    state_.request.TxCommand = row->number;
    state_.request.TxByteCount = row->byteCount;
}

void RequestBuilders::SetData(int index, std::uint8_t value) {
    state_.request.TxFrame[hart::frame::request::kDataAt + index] = value;
}

void RequestBuilders::SetData(int index, std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        SetData(index++, byte);
    }
}

void RequestBuilders::BuildWritePollAddress() {
    // The address is asked for at every sending, repeats included.
    ShowModal(dialogs_.Form3);
    SetData(0, static_cast<std::uint8_t>(StrToInt(dialogs_.Form3.LabeledEdit1->text())));
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
        SetData(group * kVariableGroupSize,
                static_cast<std::uint8_t>(lists[group]->currentIndex()));
    }
}

void RequestBuilders::BuildWriteDamping() {
    if (FirstSending()) {
        ShowModal(dialogs_.Form6);
    }
    SetData(0, hart::TextToFloatBytes(QString::number(dialogs_.Form6.TrackBar1->value())));
}

void RequestBuilders::BuildWriteRange() {
    if (FirstSending()) {
        ShowModal(dialogs_.Form7);
    }
    // The upper value goes first, although the dialog asks for the lower one first.
    const auto upper = hart::TextToFloatBytes(dialogs_.Form7.Edit2->text());
    const auto lower = hart::TextToFloatBytes(dialogs_.Form7.Edit1->text());
    SetData(0, 0);
    SetData(1, upper);
    SetData(1 + static_cast<int>(upper.size()), lower);
}

void RequestBuilders::BuildFixedCurrent() {
    if (FirstSending()) {
        ShowModal(dialogs_.Form9);
    }
    SetData(0, hart::TextToFloatBytes(dialogs_.Form9.LabeledEdit1->text()));
}

void RequestBuilders::BuildWriteUnits() {
    if (FirstSending()) {
        ShowModal(dialogs_.Form10);
    }
    SetData(0, static_cast<std::uint8_t>(dialogs_.Form10.RadioGroup1->ItemIndex()));
}

}  // namespace commands
