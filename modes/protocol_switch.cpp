#include "modes/protocol_switch.h"

#include "ui/message_boxes.h"

namespace modes {
namespace {

// The protocol-file dialog's title and default extension, set before every showing.
void PrepareProtocolDialog(QFileDialog& dialog) {
    dialog.setWindowTitle(QStringLiteral("Укажите файл протокола"));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
}

}  // namespace

void ProtocolSwitch::CheckBox1Click() {
    state_.session.Mode = hart::kModeRegistration;
    const bool anySlot = CaptureSlots(state_.slotArrays, controls_.slotBoxes);
    QCheckBox& box = controls_.CheckBox1;
    if (!anySlot) {
        if (box.isChecked()) {
            ShowMessage(QStringLiteral("Не выбран ни один датчик!"), box.window());
            Uncheck();
        }
        // Files opened for slots that have been unticked since are closed all the same.
        if (protocolOpen_) {
            protocolOpen_ = false;
            CloseProtocolFiles();
        }
        return;
    }
    if (protocolOpen_) {
        protocolOpen_ = false;
        CloseProtocolFiles();
        return;
    }
    if (!box.isChecked()) {
        return;
    }
    QFileDialog& dialog = controls_.OpenDialog1();
    PrepareProtocolDialog(dialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        chosenPath_ = dialog.selectedFiles().constFirst();
        protocolOpen_ = true;
        OpenProtocolFiles();
    } else {
        Uncheck();
        protocolOpen_ = false;
    }
}

void ProtocolSwitch::OpenProtocolFiles() {
    LockSlotBoxes(controls_.slotBoxes, true);
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        if (controls_.slotBoxes[slot]->isChecked()) {
            files_.Create(slot, ProtocolFiles::SlotFileName(chosenPath_, slot));
        }
    }
}

void ProtocolSwitch::CloseProtocolFiles() {
    try {
        files_.CloseAll();
    } catch (...) {
        LockSlotBoxes(controls_.slotBoxes, false);
        throw;
    }
    LockSlotBoxes(controls_.slotBoxes, false);
}

void ProtocolSwitch::Uncheck() {
    // Unchecking runs this handler again, nested; it finds nothing to do.
    controls_.CheckBox1.setChecked(false);
}

}  // namespace modes
