#include "tests/support/tab_drivers.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include "hart/result_table.h"
#include "tests/support/expectations.h"
#include "ui/shape.h"
#include "ui/string_grid.h"
#include "ui/timer.h"
#include "ui/up_down.h"

namespace column = hart::column;

SetupTabDriver::SetupTabDriver(ProgramWindow& program)
    : program(program),
      start(program.Find<QPushButton>("TabSheet1", "Button1")),
      command(program.Find<QComboBox>("TabSheet1", "ComboBox1")),
      address(program.Find<TUpDown>("TabSheet1", "UpDown2")),
      attempts(program.Find<TUpDown>("TabSheet1", "UpDown13")) {}

void SetupTabDriver::Run(int commandIndex, int pollAddress) {
    command->setCurrentIndex(commandIndex);
    address->SetPosition(pollAddress);
    start->click();
    QTRY_VERIFY_WITH_TIMEOUT(start->isEnabled(), kPatienceMs);
}

QStringList SetupTabDriver::Column(int column, int first, int count) const {
    QStringList cells;
    for (int row = first; row < first + count; ++row) {
        cells << program.SetupTable().Cell(row, column);
    }
    return cells;
}

RegistrationTabDriver::RegistrationTabDriver(ProgramWindow& program)
    : program(program),
      start(program.Find<QPushButton>("TabSheet2", "Button2")),
      command(program.Find<QComboBox>("TabSheet2", "ComboBox2")),
      period(program.Find<QSlider>("TabSheet2", "TrackBar1")),
      countdown(program.Find<QLabel>("TabSheet2", "Label33")),
      progress(program.Find<QProgressBar>("TabSheet2", "ProgressBar1")),
      protocol(program.Find<QCheckBox>("TabSheet2", "CheckBox1")) {}

QCheckBox* RegistrationTabDriver::SlotBox(int slot) const {
    return program.Find<QCheckBox>("TabSheet2",
                                   qPrintable(QStringLiteral("CheckBox%1").arg(11 + slot)));
}

void RegistrationTabDriver::TickSlots(std::initializer_list<int> numbers) {
    for (const int slot : numbers) {
        SlotBox(slot)->setChecked(true);
    }
}

void RegistrationTabDriver::TickAllSlots() {
    TickSlots({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
}

void RegistrationTabDriver::SwitchProtocolOn(const QString& path) {
    program.Modals().OnDialog(QStringLiteral("OpenDialog1"), [path](QDialog& dialog) {
        // The operator types the name into the dialog's file name field and confirms it.
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        dialog.accept();
    });
    protocol->setChecked(true);
}

void RegistrationTabDriver::Tick() {
    program.Timer("Timer1")->OnTimer();
}

QColor RegistrationTabDriver::Lamp(int slot) const {
    return program.Find<TShape>("TabSheet2", qPrintable(QStringLiteral("Shape%1").arg(slot)))
        ->BrushColor();
}

bool RegistrationTabDriver::LampsAre(int from, int to, const QColor& colour) const {
    for (int slot = from; slot <= to; ++slot) {
        if (Lamp(slot) != colour) {
            return false;
        }
    }
    return true;
}

TTimer& RegistrationTabDriver::SlotTimer(int slot) const {
    return *program.Timer(qPrintable(QStringLiteral("Timer%1").arg(slot + 3)));
}

QString RegistrationTabDriver::Cell(int row, int column) const {
    return program.RegistrationTable().Cell(row, column);
}

int RegistrationTabDriver::RowOf(int address) const {
    const TStringGrid& table = program.RegistrationTable();
    for (int row = 1; row < table.RowCount(); ++row) {
        if (table.Cell(row, column::kAddress) == QString::number(address)) {
            return row;
        }
    }
    return 0;
}

std::vector<int> RegistrationTabDriver::AddressesOnWire() const {
    std::vector<int> addresses;
    for (const auto& frame : program.RequestsOnWire()) {
        addresses.push_back(frame.at(8));
    }
    return addresses;
}

void ClosePort(ProgramWindow& program) {
    program.Find<QPushButton>("TabSheet4", "Button15")->click();
}

void OpenPort(ProgramWindow& program) {
    program.Find<QPushButton>("TabSheet4", "Button14")->click();
}
