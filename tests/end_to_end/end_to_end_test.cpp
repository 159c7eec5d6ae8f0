// One session of the program on a simulator that a script started and COM1 names: the same
// operator actions on every system, so that the request bytes the simulator logs can be compared
// between the builds (run_end_to_end.sh). The wire log is named by TENSOVIA_WIRE_LOG.

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include "commands/damping_dialog.h"
#include "commands/variables_dialog.h"
#include "hart/result_table.h"
#include "tests/support/expectations.h"
#include "tests/support/program_window.h"
#include "tests/support/tab_drivers.h"
#include "tests/support/warnings.h"
#include "ui/string_grid.h"

namespace column = hart::column;

namespace {

constexpr int kSetupAddress = 4;
constexpr int kSilentSlot = 2;  // the script starts the simulator with "--silent 2"
constexpr int kPasses = 3;
const QString kSilentSlotExpired =
    QStringLiteral("Режим регистрации.Датчик%1: истекло время ожидания...").arg(kSilentSlot);
// Each pass: slots 1 and 3 once, the silent slot as often as the attempt limit lets it.
constexpr std::size_t kRequestsPerPass = 1 + 3 + 1;

// The first variable chosen for command 33, and its label as the protocol file holds it: "t(°C):"
// in Windows-1251, where "°" is one byte.
constexpr int kTemperatureVariable = 4;
const QByteArray kTemperatureLabel = QByteArray(
    "t(\xB0"
    "C):");

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void setupCommands();
    void registrationWithASilentSlot();
};

void EndToEndTest::setupCommands() {
    ProgramWindow program(qEnvironmentVariable("TENSOVIA_WIRE_LOG"));
    QVERIFY(program.Form().Port().Active());
    SetupTabDriver tab{program};

    QElapsedTimer answered;
    answered.start();
    tab.Run(0, kSetupAddress);
    qInfo("command 1: Start to row %lld ms", answered.elapsed());
    QCOMPARE(program.SetupTable().Cell(1, column::kAddress), QString::number(kSetupAddress));
    QVERIFY(program.SetupTable().Cell(1, column::kValue).contains(u','));

    program.Modals().OnDialog(QStringLiteral("TForm5"), ClickOk);
    tab.Run(3, kSetupAddress);
    program.Modals().OnDialog(QStringLiteral("TForm6"), [](QDialog& dialog) {
        static_cast<TForm6&>(dialog).TrackBar1->setValue(5);
        ClickOk(dialog);
    });
    tab.Run(4, kSetupAddress);
    QCOMPARE(program.Modals().PendingScripts(), 0);
    QCOMPARE(program.Modals().Messages(), QStringList());
    // One row for command 1, four for command 33, one for the damping written.
    QCOMPARE(tab.Column(4, 6, 1), QStringList{QStringLiteral("5,0000000")});
    for (const QString& value : tab.Column(4, 1, 6)) {
        QVERIFY2(!value.isEmpty() && value != kNotReliable, qPrintable(value));
    }
    QCOMPARE(program.RequestsOnWire().size(), 3u);
}

void EndToEndTest::registrationWithASilentSlot() {
    QTemporaryDir directory;
    ProgramWindow program(qEnvironmentVariable("TENSOVIA_WIRE_LOG"));
    RegistrationTabDriver tab{program};
    const std::size_t before = program.RequestsOnWire().size();
    program.Modals().OnDialog(QStringLiteral("TForm5"), [](QDialog& dialog) {
        static_cast<TForm5&>(dialog).ComboBox1->setCurrentIndex(kTemperatureVariable);
        ClickOk(dialog);
    });
    tab.command->setCurrentIndex(2);
    tab.TickSlots({1, kSilentSlot, 3});
    // A long period: the passes after the first are started here, a tick at a time.
    tab.period->setValue(100);
    tab.SwitchProtocolOn(directory.filePath(QStringLiteral("p.txt")));
    tab.Toggle();
    for (int pass = 1; pass <= kPasses; ++pass) {
        if (pass > 1) {
            for (int tick = 0; tick < 100 && program.RequestsOnWire().size() ==
                                                 before + (pass - 1) * kRequestsPerPass;
                 ++tick) {
                tab.Tick();
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(program.RequestsOnWire().size(), before + pass * kRequestsPerPass,
                                  kPatienceMs);
        // The pass is over when the silent slot's last wait has run out.
        QTRY_COMPARE_WITH_TIMEOUT(program.Trace().count(kSilentSlotExpired), 3 * pass, kPatienceMs);
    }
    QCOMPARE(tab.Lamp(1), kGreen);
    QCOMPARE(tab.Lamp(kSilentSlot), kRed);
    QCOMPARE(tab.Lamp(3), kGreen);
    QCOMPARE(tab.Cell(tab.RowOf(kSilentSlot), 4), kNoAnswer);
    tab.Toggle();
    tab.protocol->setChecked(false);
    QCOMPARE(program.Modals().Messages(), QStringList());

    // One line per answer, in Windows-1251 with CR LF; nothing for the silent slot.
    for (const int slot : {1, 3}) {
        QFile file(directory.filePath(QStringLiteral("p_%1.txt").arg(slot)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray contents = file.readAll();
        QCOMPARE(contents.count("\r\n"), kPasses);
        QCOMPARE(contents.count('\n'), kPasses);
        QCOMPARE(contents.count(kTemperatureLabel), kPasses);
    }
    QCOMPARE(QFile(directory.filePath(QStringLiteral("p_%1.txt").arg(kSilentSlot))).size(), 0);
}

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
