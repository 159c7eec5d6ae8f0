#include "tests/faults/fault_support.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <map>

#include "tests/faults/process_usage.h"
#include "ui/shape.h"
#include "ui/string_grid.h"
#include "ui/up_down.h"

namespace faults {

SetupDriver::SetupDriver(ProgramFixture& program)
    : program(program),
      start(program.Find<QPushButton>("TabSheet1", "Button1")),
      address(program.Find<TUpDown>("TabSheet1", "UpDown2")) {}

void SetupDriver::Run(int commandIndex, int pollAddress) {
    program.Find<QComboBox>("TabSheet1", "ComboBox1")->setCurrentIndex(commandIndex);
    address->SetPosition(pollAddress);
    start->click();
    QTRY_VERIFY_WITH_TIMEOUT(start->isEnabled(), kPatienceMs);
}

QString SetupDriver::LastAnswer(int column) const {
    return program.SetupTable().Cell(program.State().session.GridRow - 1, column);
}

RegistrationDriver::RegistrationDriver(ProgramFixture& program)
    : program(program),
      start(program.Find<QPushButton>("TabSheet2", "Button2")),
      protocol(program.Find<QCheckBox>("TabSheet2", "CheckBox1")) {}

void RegistrationDriver::TickSlots(std::initializer_list<int> numbers) {
    for (const int slot : numbers) {
        program
            .Find<QCheckBox>("TabSheet2", qPrintable(QStringLiteral("CheckBox%1").arg(11 + slot)))
            ->setChecked(true);
    }
}

void RegistrationDriver::TickAllSlots() {
    TickSlots({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
}

QColor RegistrationDriver::Lamp(int slot) const {
    return program.Find<TShape>("TabSheet2", qPrintable(QStringLiteral("Shape%1").arg(slot)))
        ->BrushColor();
}

bool RegistrationDriver::LampsAre(int from, int to, const QColor& colour) const {
    for (int slot = from; slot <= to; ++slot) {
        if (Lamp(slot) != colour) {
            return false;
        }
    }
    return true;
}

QString RegistrationDriver::Cell(int row, int column) const {
    return program.RegistrationTable().Cell(row, column);
}

int RegistrationDriver::RowOf(int address) const {
    const TStringGrid& table = program.RegistrationTable();
    for (int row = 1; row < table.RowCount(); ++row) {
        if (table.Cell(row, 0) == QString::number(address)) {
            return row;
        }
    }
    return 0;
}

void RegistrationDriver::SwitchProtocolOn(const QString& path) {
    program.Modals().OnDialog(QStringLiteral("OpenDialog1"), [path](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        dialog.accept();
    });
    protocol->setChecked(true);
}

void ClosePort(ProgramFixture& program) {
    program.Find<QPushButton>("TabSheet4", "Button15")->click();
}

void OpenPort(ProgramFixture& program) {
    program.Find<QPushButton>("TabSheet4", "Button14")->click();
}

namespace {

// CPU seconds of each thread of this process.
std::map<QString, double> ThreadSeconds() {
    std::map<QString, double> seconds;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const double used = CpuSeconds(tasks.filePath(tid));
        if (used >= 0) {
            seconds[tid] = used;
        }
    }
    return seconds;
}

}  // namespace

double BusiestThreadShare(std::chrono::milliseconds window) {
    const auto before = ThreadSeconds();
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::qWait(static_cast<int>(window.count()));
    const auto after = ThreadSeconds();
    const double seconds = static_cast<double>(elapsed.elapsed()) / 1000.0;
    double busiest = 0;
    for (const auto& [tid, used] : after) {
        const auto earlier = before.find(tid);
        busiest =
            std::max(busiest, (used - (earlier == before.end() ? 0 : earlier->second)) / seconds);
    }
    return busiest;
}

}  // namespace faults
