// Registration mode end to end on simulated transmitters: the period and its countdown, the
// polling order, lamps, the no-answer rows, setup commands during a run, the setup time-out's
// pass over the slots, and the protocol files. Timers are driven directly where waiting for them
// would only make the test slow.

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "commands/variables_dialog.h"
#include "hart/frame_layout.h"
#include "hart/result_table.h"
#include "tests/support/expectations.h"
#include "tests/support/proc_stats.h"
#include "tests/support/program_fixture.h"
#include "tests/support/tab_drivers.h"
#include "tests/support/warnings.h"
#include "ui/shape.h"
#include "ui/string_grid.h"
#include "ui/timer.h"
#include "ui/up_down.h"

namespace column = hart::column;
namespace frame = hart::frame;

namespace {

QStringList Silent(const char* addresses) {
    return {QStringLiteral("--silent"), QLatin1String(addresses)};
}

}  // namespace

class RegistrationModeTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void refusedStartsThenPeriodThree();
    void slotsInAscendingOrderApart();
    void tenTransmittersAnswerWithinOneTick();
    void lampYellowAfterARepeat();
    void silentSlotRepeatsThenGivesUp();
    void slotTimeoutLampSteps();
    void noAnswerRowsFollowTheBlocks_data();
    void noAnswerRowsFollowTheBlocks();
    void variablesAskedOncePerRun();
    void runsAtPeriodOne();
    void setupTimeoutPassOverSlots();
    void setupTimeoutLeavesSetupTabUsable();
    void protocolBoxAndItsFiles();
    void protocolLinesThroughARun();
};

void RegistrationModeTest::refusedStartsThenPeriodThree() {
    ProgramFixture program;
    RegistrationTabDriver tab{program};
    tab.start->click();
    QCOMPARE(program.Modals().TakeMessages(),
             QStringList{QStringLiteral("Ни один датчик не выбран")});
    // Registration has taken the line all the same.
    QCOMPARE(program.State().session.Mode, hart::kModeRegistration);
    QCOMPARE(tab.start->text(), QStringLiteral("Старт"));

    tab.TickSlots({1});
    ClosePort(program);
    tab.start->click();
    QCOMPARE(program.Modals().TakeMessages().size(), 1);
    QCOMPARE(tab.start->text(), QStringLiteral("Старт"));
    QVERIFY(!program.Timer("Timer1")->Enabled());

    // Port open again, at period 3: the countdown.
    OpenPort(program);
    tab.period->setValue(3);
    QCOMPARE(program.Find<QLabel>("TabSheet2", "Label1")->text(), QStringLiteral("3 c"));
    tab.start->click();
    QCOMPARE(tab.start->text(), QStringLiteral("Стоп"));
    QVERIFY(!tab.period->isEnabled());
    QVERIFY(!tab.command->isEnabled());
    QVERIFY(!tab.protocol->isEnabled());
    QVERIFY(!tab.SlotBox(1)->isEnabled());
    QVERIFY(program.Timer("Timer1")->Enabled());
    QCOMPARE(program.Timer("Timer1")->Interval(), 1000);
    // The first tick polls at once.
    QCOMPARE(tab.AddressesOnWire().size(), 1u);
    QCOMPARE(tab.countdown->text(), QStringLiteral("3 c"));
    QCOMPARE(tab.progress->value(), 3333);
    tab.Tick();
    QCOMPARE(tab.countdown->text(), QStringLiteral("2 c"));
    QCOMPARE(tab.progress->value(), 6666);
    tab.Tick();
    QCOMPARE(tab.countdown->text(), QStringLiteral("1 c"));
    QCOMPARE(tab.progress->value(), 9999);
    tab.Tick();
    QCOMPARE(tab.countdown->text(), QStringLiteral("3 c"));
    QCOMPARE(tab.progress->value(), 3333);
    QCOMPARE(tab.AddressesOnWire(), (std::vector<int>{1, 1}));

    // Stop ends every slot's wait, whichever slots were polled.
    for (int slot = 1; slot <= 10; ++slot) {
        tab.SlotTimer(slot).SetEnabled(true);
    }
    tab.start->click();
    QCOMPARE(tab.start->text(), QStringLiteral("Старт"));
    QVERIFY(!program.Timer("Timer1")->Enabled());
    for (int slot = 1; slot <= 10; ++slot) {
        QVERIFY(!tab.SlotTimer(slot).Enabled());
    }
    QVERIFY(tab.period->isEnabled() && tab.command->isEnabled() && tab.protocol->isEnabled());
    QVERIFY(tab.SlotBox(1)->isEnabled());
    QCOMPARE(tab.progress->value(), 0);
}

void RegistrationModeTest::slotsInAscendingOrderApart() {
    ProgramFixture program;
    RegistrationTabDriver tab{program};
    tab.TickSlots({7, 2});
    QElapsedTimer tick;
    tick.start();
    tab.start->click();
    // Slots not ticked cost no pause.
    QVERIFY2(tick.elapsed() < 900, qPrintable(QString::number(tick.elapsed())));
    QTRY_COMPARE(program.RequestLog().size(), 2u);
    const auto log = program.RequestLog();
    QCOMPARE(log[0].bytes.at(frame::request::kPollAddressAt), 2);
    QCOMPARE(log[1].bytes.at(frame::request::kPollAddressAt), 7);
    QVERIFY2(log[1].ms - log[0].ms >= 100, qPrintable(QString::number(log[1].ms - log[0].ms)));
}

void RegistrationModeTest::tenTransmittersAnswerWithinOneTick() {
    // While the tick sleeps between its sends, the answers pile up and arrive together.
    ProgramFixture program;
    RegistrationTabDriver tab{program};
    tab.TickSlots({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    tab.start->click();
    for (int slot = 1; slot <= 10; ++slot) {
        QTRY_COMPARE_WITH_TIMEOUT(tab.Lamp(slot), kGreen, kPatienceMs);
    }
    for (int slot = 1; slot <= 10; ++slot) {
        QCOMPARE(tab.Cell(slot, column::kAddress), QString::number(slot));
        QCOMPARE(tab.Cell(slot, column::kParameter), QStringLiteral("Давление/Pressure:"));
        QVERIFY(tab.Cell(slot, column::kValue).contains(u','));
    }
    QVERIFY(!program.Trace().join(u'\n').contains(QStringLiteral("истекло")));
}

void RegistrationModeTest::lampYellowAfterARepeat() {
    ProgramFixture program({QStringLiteral("--late"), QStringLiteral("4"), QStringLiteral("400")});
    RegistrationTabDriver tab{program};
    tab.TickSlots({4});
    tab.period->setValue(100);
    tab.start->click();
    QTRY_COMPARE_WITH_TIMEOUT(tab.Lamp(4), kYellow, kPatienceMs);
    QCOMPARE(program.State().slotArrays.SlotAttempts[4], 1);
    QVERIFY(program.Trace().contains(QStringLiteral("Датчик №4: попытка №2")));
}

void RegistrationModeTest::silentSlotRepeatsThenGivesUp() {
    ProgramFixture program(Silent("4"));
    RegistrationTabDriver tab{program};
    tab.TickSlots({4});
    tab.period->setValue(100);
    tab.start->click();
    QTRY_COMPARE_WITH_TIMEOUT(tab.Cell(1, column::kValue), kNoAnswer, kPatienceMs);
    QCOMPARE(tab.Cell(1, column::kAddress), QStringLiteral("4"));
    QCOMPARE(tab.Cell(1, column::kCommand), QStringLiteral("1"));
    QCOMPARE(tab.Cell(1, column::kDescription), QStringLiteral("Считать первичную переменную"));
    QVERIFY(!tab.Cell(1, column::kTime).isEmpty());
    QCOMPARE(tab.Lamp(4), kRed);
    QCOMPARE(tab.AddressesOnWire(), (std::vector<int>{4, 4, 4}));
    const QStringList trace = program.Trace();
    const QString expiry = QStringLiteral("Режим регистрации.Датчик4: истекло время ожидания...");
    QCOMPARE(trace.count(expiry), 3);
    const int first = static_cast<int>(trace.indexOf(expiry));
    QCOMPARE(trace[first + 1], QStringLiteral("Датчик №4: попытка №2"));
    QCOMPARE(trace[first + 2], QStringLiteral("Передача началась"));
    QVERIFY(trace.contains(QStringLiteral("Датчик №4: попытка №3")));
    QVERIFY(!trace.contains(QStringLiteral("Датчик №4: попытка №4")));
    QCOMPARE(program.State().slotArrays.SlotAttempts[4], 1);
    QVERIFY(!tab.SlotTimer(4).Enabled());
}

void RegistrationModeTest::slotTimeoutLampSteps() {
    // Expiries driven directly: green steps to yellow, then red, and stays red at the give-up.
    ProgramFixture program(Silent("0-10"));
    RegistrationTabDriver tab{program};
    auto& arrays = program.State().slotArrays;
    program.State().session.Mode = hart::kModeRegistration;
    arrays.SlotState[6] = hart::kLampGreen;
    arrays.SlotAttempts[6] = 1;
    tab.SlotTimer(6).OnTimer();
    QCOMPARE(tab.Lamp(6), kYellow);
    QCOMPARE(arrays.SlotAttempts[6], 2);
    QVERIFY(tab.SlotTimer(6).Enabled());
    tab.SlotTimer(6).OnTimer();
    QCOMPARE(tab.Lamp(6), kRed);
    tab.SlotTimer(6).OnTimer();
    QCOMPARE(tab.Lamp(6), kRed);
    QCOMPARE(arrays.SlotAttempts[6], 1);
    QCOMPARE(tab.Cell(1, column::kValue), kNoAnswer);
    QVERIFY(!tab.SlotTimer(6).Enabled());
    // A silver lamp turns red at the first expiry, though a repeat follows.
    arrays.SlotState[8] = hart::kLampSilver;
    arrays.SlotAttempts[8] = 1;
    tab.SlotTimer(8).OnTimer();
    QCOMPARE(tab.Lamp(8), kRed);
    QVERIFY(tab.SlotTimer(8).Enabled());
    // The handler paints only its own lamp.
    QCOMPARE(tab.Lamp(7), kSilver);

    // At a limit of 1 the first expiry gives up: no repeat.
    program.Find<TUpDown>("TabSheet1", "UpDown13")->SetPosition(1);
    arrays.SlotAttempts[2] = 1;
    tab.SlotTimer(2).OnTimer();
    QCOMPARE(tab.Cell(2, column::kAddress), QStringLiteral("2"));
    QCOMPARE(tab.Cell(2, column::kValue), kNoAnswer);
    QVERIFY(!program.Trace().join(u'\n').contains(QStringLiteral("Датчик №2: попытка")));
    QCOMPARE(std::ranges::count(tab.AddressesOnWire(), 2), 0);
}

void RegistrationModeTest::noAnswerRowsFollowTheBlocks_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("blockSize");
    QTest::newRow("command 1") << 0 << "1" << 1;
    QTest::newRow("command 3") << 1 << "3" << 5;
    QTest::newRow("command 33") << 2 << "33" << 4;
}

void RegistrationModeTest::noAnswerRowsFollowTheBlocks() {
    QFETCH(int, index);
    QFETCH(QString, command);
    QFETCH(int, blockSize);
    const int blocks[] = {1, 1 + blockSize, 1 + 2 * blockSize};
    // Answering transmitters take the first blocks and a silent one the next; silent ones take
    // the blocks in the order they give up.
    for (const bool allSilent : {false, true}) {
        ProgramFixture program(Silent(allSilent ? "0-10" : "9"));
        RegistrationTabDriver tab{program};
        program.Modals().OnDialog(QStringLiteral("TForm5"), ClickOk);
        tab.command->setCurrentIndex(index);
        tab.TickSlots({2, 5, 9});
        tab.period->setValue(100);
        tab.Toggle();
        QTRY_COMPARE_WITH_TIMEOUT(tab.Cell(blocks[2], column::kValue), kNoAnswer, kPatienceMs);
        QStringList addresses, commands;
        for (const int row : blocks) {
            addresses << tab.Cell(row, column::kAddress);
            commands << tab.Cell(row, column::kCommand);
        }
        QCOMPARE(addresses, (QStringList{"2", "5", "9"}));
        QCOMPARE(commands, QStringList(3, command));
        QVERIFY(allSilent ||
                !tab.Cell(blockSize, column::kValue).isEmpty());  // the first block's last row
        tab.Toggle();
    }
}

void RegistrationModeTest::variablesAskedOncePerRun() {
    // Command 33: the variables are chosen at the run's first request and reused by every later
    // poll and repeat of the run, whatever the transmitter; the next run asks again.
    ProgramFixture program(Silent("2"));
    RegistrationTabDriver tab{program};
    int shown = 0;
    for (int i = 0; i < 20; ++i) {  // enough to count showings too many, not to hang at them
        program.Modals().OnDialog(QStringLiteral("TForm5"), [&shown](QDialog& d) {
            static_cast<TForm5&>(d).ComboBox1->setCurrentIndex(++shown);
            ClickOk(d);
        });
    }
    tab.command->setCurrentIndex(2);
    tab.TickSlots({1, 2});
    tab.start->click();
    QTRY_VERIFY_WITH_TIMEOUT(program.Trace().contains(QStringLiteral("Датчик №2: попытка №3")) &&
                                 tab.AddressesOnWire().size() >= 8u,
                             kPatienceMs);
    QCOMPARE(shown, 1);
    tab.start->click();
    tab.start->click();
    QCOMPARE(shown, 2);
    const auto before = program.RequestsOnWire().size();
    QTRY_VERIFY_WITH_TIMEOUT(program.RequestsOnWire().size() >= before + 4, kPatienceMs);
    QCOMPARE(shown, 2);
    // The first variable's code of each request: the first run's choice, then the second's.
    std::vector<int> codes;
    for (const auto& frame : program.RequestsOnWire()) {
        codes.push_back(frame.at(frame::request::kDataAt));
    }
    QVERIFY(std::is_sorted(codes.begin(), codes.end()));
    QCOMPARE(codes.front(), 1);
    QCOMPARE(codes.back(), 2);
}

void RegistrationModeTest::runsAtPeriodOne() {
    ProgramFixture program;
    RegistrationTabDriver tab{program};
    tab.TickSlots({1});
    tab.command->setCurrentIndex(1);
    tab.start->click();
    // Every tick polls.
    QCOMPARE(tab.countdown->text(), QStringLiteral("1 c"));
    QTRY_VERIFY_WITH_TIMEOUT(tab.AddressesOnWire().size() >= 3u, kPatienceMs);
    QCOMPARE(tab.countdown->text(), QStringLiteral("1 c"));
    QTRY_COMPARE_WITH_TIMEOUT(tab.Lamp(1), kGreen, kPatienceMs);
    tab.start->click();
    // Stop leaves the lamps as they are.
    QCOMPARE(tab.Lamp(1), kGreen);
    // Start paints the lamps silver and empties the table, also rows a five-row block of an
    // earlier run may have used.
    program.RegistrationTable().SetCell(50, 0, QStringLiteral("9"));
    program.RegistrationTable().SetCell(51, 0, QStringLiteral("kept"));
    tab.command->setCurrentIndex(0);
    tab.start->click();
    QCOMPARE(tab.Lamp(1), kSilver);
    QCOMPARE(program.State().slotArrays.SlotAttempts[1], 1);
    QCOMPARE(tab.Cell(2, column::kAddress), QString());
    QCOMPARE(tab.Cell(50, column::kAddress), QString());
    QCOMPARE(tab.Cell(51, column::kAddress), QStringLiteral("kept"));
    QCOMPARE(tab.Cell(0, column::kAddress), QStringLiteral("Адрес датчика"));

    // A setup command during the run.
    QTRY_COMPARE_WITH_TIMEOUT(tab.Lamp(1), kGreen, kPatienceMs);
    program.Find<TUpDown>("TabSheet1", "UpDown2")->SetPosition(2);
    program.Find<QPushButton>("TabSheet1", "Button1")->click();
    QCOMPARE(program.State().session.Mode, hart::kModeSetup);
    // The run goes on, but its answers are setup answers now: the slot times out as if silent.
    QTRY_COMPARE_WITH_TIMEOUT(tab.Lamp(1), kRed, kPatienceMs);
    bool slotAnswerInSetupTable = false;
    for (int row = 1; row < program.SetupTable().RowCount(); ++row) {
        slotAnswerInSetupTable |=
            program.SetupTable().Cell(row, column::kAddress) == QStringLiteral("1");
    }
    QVERIFY(slotAnswerInSetupTable);
}

void RegistrationModeTest::setupTimeoutPassOverSlots() {
    // The setup time-out fires after registration took the line: one repeat pass over the slots.
    ProgramFixture program(Silent("0-10"));
    RegistrationTabDriver tab{program};
    auto& arrays = program.State().slotArrays;
    auto& session = program.State().session;
    session.Mode = hart::kModeRegistration;
    arrays.SlotEnabled = {0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0};
    arrays.SlotState = {0, hart::kLampSilver, hart::kLampGreen, hart::kLampRed, hart::kLampYellow};
    arrays.SlotAttempts = {0, 1, 1, 1, 3};
    program.Timer("Timer3")->OnTimer();

    QCOMPARE(tab.Lamp(1), kYellow);  // silver turns yellow here, not red
    QCOMPARE(arrays.SlotAttempts[1], 2);
    QCOMPARE(tab.Lamp(2), kGreen);  // answered: passed over
    QCOMPARE(arrays.SlotAttempts[2], 1);
    QCOMPARE(tab.Lamp(3), kSilver);  // not ticked: silver
    // Past the limit of 3: red, a no-answer row, the counter back at 1.
    QCOMPARE(tab.Lamp(4), kRed);
    QCOMPARE(arrays.SlotAttempts[4], 1);
    QCOMPARE(tab.Cell(1, column::kAddress), QStringLiteral("4"));
    QCOMPARE(tab.Cell(1, column::kCommand), QStringLiteral("1"));
    QCOMPARE(tab.Cell(1, column::kValue), kNoAnswer);

    const QStringList trace = program.Trace();
    QCOMPARE(trace.first(), QStringLiteral("Истекло время ожидания..."));
    QCOMPARE(trace[1], QStringLiteral("Датчик №1: попытка №2"));
    QCOMPARE(trace[2], QStringLiteral("Передача началась"));
    QTRY_COMPARE(tab.AddressesOnWire(), (std::vector<int>{1}));
    QVERIFY(program.Timer("Timer3")->Enabled());
}

void RegistrationModeTest::setupTimeoutLeavesSetupTabUsable() {
    ProgramFixture program(Silent("0-10"));
    RegistrationTabDriver tab{program};
    auto* setupStart = program.Find<QPushButton>("TabSheet1", "Button1");
    program.Find<TUpDown>("TabSheet1", "UpDown2")->SetPosition(5);
    setupStart->click();
    QVERIFY(!setupStart->isEnabled());
    tab.TickSlots({1});
    tab.period->setValue(100);
    tab.start->click();
    // The setup request's time-out now makes a pass for registration and ends the transaction.
    QTRY_VERIFY_WITH_TIMEOUT(setupStart->isEnabled(), kPatienceMs);
    QCOMPARE(setupStart->text(), QStringLiteral("Старт"));
    QCOMPARE(program.State().session.AttemptNo, 1);
    tab.start->click();

    const auto before = program.RequestsOnWire().size();
    setupStart->click();
    QCOMPARE(program.State().session.Mode, hart::kModeSetup);
    QTRY_VERIFY(program.RequestsOnWire().size() > before);
    QCOMPARE(program.RequestsOnWire().back().at(frame::request::kPollAddressAt), 5);
}

void RegistrationModeTest::protocolBoxAndItsFiles() {
    QTemporaryDir dir;
    ProgramFixture program;
    RegistrationTabDriver tab{program};
    tab.protocol->setChecked(true);
    QCOMPARE(program.Modals().TakeMessages(),
             QStringList{QStringLiteral("Не выбран ни один датчик!")});
    QVERIFY(!tab.protocol->isChecked());
    QCOMPARE(program.State().session.Mode, hart::kModeRegistration);

    tab.TickSlots({2, 5});
    program.Modals().OnDialog(QStringLiteral("OpenDialog1"), [](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Укажите файл протокола"));
        dialog.reject();
    });
    tab.protocol->setChecked(true);
    QCOMPARE(program.Modals().PendingScripts(), 0);
    QVERIFY(!tab.protocol->isChecked());
    QVERIFY(tab.SlotBox(2)->isEnabled());

    // Confirmed: a file for each ticked slot.
    tab.SwitchProtocolOn(dir.filePath(QStringLiteral("test.txt")));
    QVERIFY(tab.protocol->isChecked());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             (QStringList{QStringLiteral("test_2.txt"), QStringLiteral("test_5.txt")}));
    for (int slot = 1; slot <= 10; ++slot) {
        QVERIFY(!tab.SlotBox(slot)->isEnabled());
    }
    tab.protocol->setChecked(false);
    QVERIFY(tab.SlotBox(2)->isEnabled());

    // A name without extension gets ".txt"; another extension loses four characters all the same.
    tab.SwitchProtocolOn(dir.filePath(QStringLiteral("log")));
    tab.protocol->setChecked(false);
    QVERIFY2(QFile::exists(dir.filePath(QStringLiteral("log_2.txt"))),
             qPrintable(QDir(dir.path()).entryList(QDir::Files).join(u' ')));
    tab.SwitchProtocolOn(dir.filePath(QStringLiteral("run.dat")));
    tab.protocol->setChecked(false);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("run_5.txt"))));

    // After a run the slot boxes are usable again; unticking them all and then the protocol box
    // still closes the protocol files.
    tab.period->setValue(100);
    tab.SwitchProtocolOn(dir.filePath(QStringLiteral("p.txt")));
    const std::string file =
        QFile::encodeName(dir.filePath(QStringLiteral("p_2.txt"))).toStdString();
    QCOMPARE(procstats::OpenDescriptors(file), 1);
    tab.start->click();
    tab.start->click();
    tab.SlotBox(2)->setChecked(false);
    tab.SlotBox(5)->setChecked(false);
    tab.protocol->setChecked(false);
    QCOMPARE(procstats::OpenDescriptors(file), 0);
    QCOMPARE(program.Modals().TakeMessages(), QStringList());
}

void RegistrationModeTest::protocolLinesThroughARun() {
    QTemporaryDir dir;
    ProgramFixture program({QStringLiteral("--badsum"), QStringLiteral("3")});
    RegistrationTabDriver tab{program};
    tab.TickSlots({2, 3});
    tab.period->setValue(100);
    tab.SwitchProtocolOn(dir.filePath(QStringLiteral("line.txt")));
    tab.start->click();
    QTRY_COMPARE_WITH_TIMEOUT(tab.Lamp(3), kGreen, kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(tab.Lamp(2), kGreen, kPatienceMs);
    tab.start->click();
    tab.protocol->setChecked(false);

    QFile good(dir.filePath(QStringLiteral("line_2.txt")));
    QVERIFY(good.open(QIODevice::ReadOnly));
    const QByteArray line = good.readAll();
    // "Давление" in Windows-1251, the value, two blanks, date, blank, time, CR LF.
    const QRegularExpression pattern(QStringLiteral(
        "^Addr: 2 Command: 1 \\xC4\\xE0\\xE2\\xEB\\xE5\\xED\\xE8\\xE5/Pressure: -?\\d+,\\d{7}  "
        "\\S.*\\d \\d{1,2}:\\d{2}:\\d{2}[^\\r\\n]*\\r\\n$"));
    QVERIFY2(pattern.match(QString::fromLatin1(line)).hasMatch(), line.constData());

    QFile bad(dir.filePath(QStringLiteral("line_3.txt")));
    QVERIFY(bad.open(QIODevice::ReadOnly));
    const QString badLine = QString::fromLatin1(bad.readAll());
    QVERIFY2(QRegularExpression(QStringLiteral("^Addr: 3 Command: 1  \\S.*\\r\\n$"))
                 .match(badLine)
                 .hasMatch(),
             qPrintable(badLine));
}

QTEST_MAIN(RegistrationModeTest)
#include "registration_mode_test.moc"
