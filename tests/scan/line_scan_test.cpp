// The scan of the line against a bank of simulated transmitters: who is found and how each row
// reads, the hand-over to registration, the saved list, a stop in the middle, and one master on
// the line.

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_window.h"
#include "hart/program_state.h"
#include "modes/line_use.h"
#include "modes/setup_transaction.h"
#include "scan/scan_row.h"
#include "scan/scan_window.h"
#include "tests/support/expectations.h"
#include "tests/support/program_fixture.h"
#include "tests/support/tab_drivers.h"
#include "tests/support/warnings.h"

namespace {

// Transmitters 1 (HART 5), 2 (HART 7), 3 (silent), 4 (wrong checksums), 5 (without
// command 13), 6 (answering as 9), 7 (answers cut off by a pause far longer than the wait) and 8
// (refusing command 0); the rest of 0 to 15 is empty.
const QStringList kBank = QStringLiteral(
                              "--addresses 1-8 "
                              "--identity 1 0x26 0x0A 0x01A2B3 PT-101 "
                              "--hart-revision 2 7 "
                              "--silent 3 "
                              "--badsum 4 "
                              "--refuse 5 13 "
                              "--answer-as 6 9 "
                              "--split 7 10,14 1000 "
                              "--refuse 8 0")
                              .split(u' ');

// The scan window of a running program, driven as the operator drives it.
struct ScanDriver {
    explicit ScanDriver(ProgramFixture& program) : program(program) {
        program.Form().findChild<QAction*>(QStringLiteral("ScanMenuItem"))->trigger();
        window = program.Form().findChild<scan::ScanWindow*>(QStringLiteral("ScanWindow"));
        first = window->findChild<QSpinBox*>(QStringLiteral("ScanFirstAddress"));
        last = window->findChild<QSpinBox*>(QStringLiteral("ScanLastAddress"));
        start = window->findChild<QPushButton*>(QStringLiteral("ScanStartButton"));
        stop = window->findChild<QPushButton*>(QStringLiteral("ScanStopButton"));
        progress = window->findChild<QProgressBar*>(QStringLiteral("ScanProgress"));
        table = window->findChild<QTableWidget*>(QStringLiteral("ScanTable"));
    }
    void SetAttempts(int attempts) {
        program.Find<QLineEdit>("TabSheet1", "LabeledEdit15")->setText(QString::number(attempts));
    }
    bool Over() const { return start->isEnabled() && !program.State().session.scanRunning; }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = table->item(row, column);
        return item == nullptr ? QString() : item->text();
    }
    int Column(const char* title) const {
        return static_cast<int>(scan::ScanColumnTitles().indexOf(QString::fromUtf8(title)));
    }

    ProgramFixture& program;
    scan::ScanWindow* window;
    QSpinBox* first;
    QSpinBox* last;
    QPushButton* start;
    QPushButton* stop;
    QProgressBar* progress;
    QTableWidget* table;
};

}  // namespace

class LineScanTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void scanFindsTheBankAndHandsItOver();
    void stopLeavesTheLineQuiet();
    void oneMasterOnTheLine();
};

void LineScanTest::scanFindsTheBankAndHandsItOver() {
    ProgramFixture program(kBank);
    ScanDriver scan(program);
    QCOMPARE(scan.window->windowTitle(), QStringLiteral("Поиск датчиков"));
    QCOMPARE(scan.first->value(), 0);
    QCOMPARE(scan.last->value(), 15);
    scan.SetAttempts(2);
    scan.start->click();
    QTRY_VERIFY_WITH_TIMEOUT(scan.Over(), 30000);
    QCOMPARE(scan.progress->value(), 16);

    // All but the silent 3 have rows.
    QCOMPARE(scan.table->rowCount(), 7);
    const int address = scan.Column("Адрес");
    const int tag = scan.Column("Тег");
    const int state = scan.Column("Состояние");
    QCOMPARE(scan.Cell(0, address), QStringLiteral("1"));
    QCOMPARE(scan.Cell(0, scan.Column("Изготовитель")), QStringLiteral("0x26"));
    QCOMPARE(scan.Cell(0, scan.Column("ID устройства")), QStringLiteral("01A2B3"));
    QCOMPARE(scan.Cell(0, scan.Column("Уникальный адрес")), QStringLiteral("26 0A 01 A2 B3"));
    QCOMPARE(scan.Cell(0, scan.Column("HART")), QStringLiteral("5"));
    QCOMPARE(scan.Cell(0, tag), QStringLiteral("PT-101"));
    QCOMPARE(scan.Cell(0, state), QStringLiteral("Норма"));
    QCOMPARE(scan.Cell(1, address), QStringLiteral("2"));
    QCOMPARE(scan.Cell(1, scan.Column("HART")), QStringLiteral("7"));
    QCOMPARE(scan.Cell(1, tag), QStringLiteral("PT-2"));
    QCOMPARE(scan.Cell(2, address), QStringLiteral("4"));
    QCOMPARE(scan.Cell(2, state),
             scan::kNotReliable + QStringLiteral(" (неверная контрольная сумма)"));
    QCOMPARE(scan.Cell(3, address), QStringLiteral("5"));
    QVERIFY(!scan.Cell(3, scan.Column("ID устройства")).isEmpty());
    QCOMPARE(scan.Cell(3, tag), QString());
    QCOMPARE(scan.Cell(4, state), scan::kNotReliable + QStringLiteral(" (ответ с другого адреса)"));
    QCOMPARE(scan.Cell(5, state), scan::kNotReliable + QStringLiteral(" (ответ оборван)"));
    QCOMPARE(scan.Cell(6, state), scan::kNotReliable + QStringLiteral(" (отказ, код ответа 64)"));

    // Command 0 in short frames, command 13 in long ones, traced as every frame is.
    const QStringList trace = program.Trace();
    QVERIFY(trace.contains(QStringLiteral("Стартовый байт: 2")));
    QVERIFY(trace.contains(QStringLiteral("Адрес: 129")));
    QVERIFY(trace.contains(QStringLiteral("Стартовый байт: 130")));

    // The list as CSV: a title line and a line a row.
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("bank.csv"));
    QVERIFY(scan.window->SaveList(path));
    QFile csv(path);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size(), 9);  // and the empty piece after the last line end
    QVERIFY(lines[1].startsWith("1"));
    QVERIFY(lines[1].contains("PT-101"));

    // The transmitters found among 1 to 10 with an identity become the slots to poll.
    RegistrationTabDriver registration(program);
    registration.SlotBox(7)->setChecked(true);
    scan.window->findChild<QPushButton*>(QStringLiteral("ScanPollFoundButton"))->click();
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        QCOMPARE(registration.SlotBox(slot)->isChecked(), slot == 1 || slot == 2 || slot == 5);
    }
    QCOMPARE(program.Form().findChild<QTabWidget*>(QStringLiteral("PageControl1"))->currentWidget(),
             program.Form().findChild<QWidget*>(QStringLiteral("TabSheet2")));
    QVERIFY(!program.State().session.registrationRunning);
}

void LineScanTest::stopLeavesTheLineQuiet() {
    ProgramFixture program;
    ScanDriver scan(program);
    scan.last->setValue(63);
    scan.start->click();
    QTRY_VERIFY_WITH_TIMEOUT(scan.progress->value() >= 4, 15000);
    scan.stop->click();
    // Quiet once an answer to the last request could have come.
    QTRY_VERIFY_WITH_TIMEOUT(scan.Over(), program.State().session.ResponseTimeout + 1000);
    const std::size_t sent = program.RequestsOnWire().size();
    QTest::qWait(3 * program.State().session.ResponseTimeout);  // the span checked for silence
    QCOMPARE(program.RequestsOnWire().size(), sent);
    QVERIFY(scan.progress->value() < 64);
}

void LineScanTest::oneMasterOnTheLine() {
    ProgramFixture program({"--addresses", "1-2"});
    ScanDriver scan(program);
    RegistrationTabDriver registration(program);
    SetupTabDriver setup(program);

    // A registration run holds the line: the scan is refused.
    registration.TickSlots({1});
    registration.Toggle();
    scan.start->click();
    QCOMPARE(program.Modals().TakeMessages(), QStringList{modes::kModesHoldTheLine});
    QVERIFY(!program.State().session.scanRunning);
    registration.Toggle();

    // A scan holds the line: "Старт" of both modes is refused.
    scan.last->setValue(63);
    scan.start->click();
    QVERIFY(program.State().session.scanRunning);
    setup.start->click();
    registration.Toggle();
    QCOMPARE(program.Modals().TakeMessages(),
             (QStringList{modes::kScanHoldsTheLine, modes::kScanHoldsTheLine}));
    QVERIFY(!program.State().session.registrationRunning);
    QVERIFY(!program.Timer("Timer3")->Enabled());

    // Closing the window stops the scan.
    scan.window->close();
    QTRY_VERIFY_WITH_TIMEOUT(scan.Over(), program.State().session.ResponseTimeout + 1000);

    // The menu shows the window again, or brings it to the front; a closed port is refused.
    auto* menuItem = program.Form().findChild<QAction*>(QStringLiteral("ScanMenuItem"));
    menuItem->trigger();
    QVERIFY(scan.window->isVisible());
    menuItem->trigger();
    ClosePort(program);
    scan.start->click();
    QCOMPARE(program.Modals().TakeMessages(), QStringList{modes::kOpenPortFirst});
}

QTEST_MAIN(LineScanTest)
#include "line_scan_test.moc"
