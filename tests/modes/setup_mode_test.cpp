// The setup tab end to end, on simulated transmitters: what goes on the wire, the trace, the
// table, repeats and give-ups, and each of the ten commands with its dialog.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <cerrno>
#include <cstring>

#include "commands/damping_dialog.h"
#include "commands/fixed_current_dialog.h"
#include "commands/poll_address_dialog.h"
#include "commands/range_dialog.h"
#include "commands/units_dialog.h"
#include "commands/variables_dialog.h"
#include "hart/frame_layout.h"
#include "hart/result_table.h"
#include "modes/setup_transaction.h"
#include "tests/support/expectations.h"
#include "tests/support/fake_serial_device.h"
#include "tests/support/program_fixture.h"
#include "tests/support/tab_drivers.h"
#include "tests/support/test_frames.h"
#include "tests/support/warnings.h"
#include "ui/radio_group.h"
#include "ui/string_grid.h"
#include "ui/timer.h"
#include "ui/up_down.h"

namespace column = hart::column;
namespace frame = hart::frame;

namespace {

using simtest::Bytes;
using testframes::Request;

QStringList FrameTrace(int address, int command) {
    return {QStringLiteral("Передача началась"),
            QStringLiteral("Преамбула: 255 255 255"),
            QStringLiteral("Стартовый байт: 130"),
            QStringLiteral("Адрес: 255 255 255 255 %1").arg(address),
            QStringLiteral("Команда: %1").arg(command),
            QStringLiteral("Размер переданных байт: 0"),
            QStringLiteral("Данные: "),
            QStringLiteral("Контрольная сумма: %1").arg(Request(address, command).back())};
}

using DialogScript = std::function<void(QDialog&)>;
// Something that happens to the program or its line while a setup transaction runs.
using LineAction = std::function<void(TForm1&, FakeSerialDevice&, ModalDriver&)>;

}  // namespace

class SetupModeTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void silentTransmitterRepeatsThenGivesUp();
    void answerAtTheSecondSending();
    void everyCommandIntoItsRows_data();
    void everyCommandIntoItsRows();
    void dialogsAtTheRepeats();
    void dialogDefaultsSentOnOk();
    void freshCountdownPerAttempt();
    void wrongChecksumAndTwoAnswers();
    void refusedStartsSendNothing();
    void portFailureLeavesTabReady_data();
    void portFailureLeavesTabReady();
};

void SetupModeTest::silentTransmitterRepeatsThenGivesUp() {
    ProgramFixture program({QStringLiteral("--silent"), QStringLiteral("5")});
    SetupTabDriver tab{program};
    // A limit of 0 sends once.
    tab.attempts->SetPosition(0);
    tab.Run(0, 5);
    const QStringList once = FrameTrace(5, 1) << QStringLiteral("Истекло время ожидания...");
    QCOMPARE(program.Trace(), once);
    QCOMPARE(program.SetupTable().Cell(1, column::kValue), QStringLiteral("Нет ответа от датчика"));

    tab.attempts->SetPosition(3);
    tab.Run(0, 5);
    QCOMPARE(program.RequestsOnWire(), (std::vector<Bytes>(4, Request(5, 1))));
    QStringList expected;
    expected << FrameTrace(5, 1) << QStringLiteral("Истекло время ожидания...")
             << QStringLiteral("Попытка №2") << FrameTrace(5, 1)
             << QStringLiteral("Истекло время ожидания...") << QStringLiteral("Попытка №3")
             << FrameTrace(5, 1) << QStringLiteral("Истекло время ожидания...");
    QCOMPARE(program.Trace().mid(once.size()), expected);
    QCOMPARE(program.SetupTable().Cell(1, column::kValue), QStringLiteral("Нет ответа от датчика"));
    QCOMPARE(program.SetupTable().Cell(1, column::kAddress), QString());
    QCOMPARE(tab.start->text(), QStringLiteral("Старт"));
    QCOMPARE(program.State().session.AttemptNo, 1);
    QCOMPARE(program.State().session.GridRow, 1);
}

void SetupModeTest::answerAtTheSecondSending() {
    // The first answer comes after the time-out, while the second sending waits for its own.
    ProgramFixture program({QStringLiteral("--late"), QStringLiteral("3"), QStringLiteral("400")});
    SetupTabDriver tab{program};
    tab.Run(0, 3);
    QCOMPARE(program.State().session.AttemptNo, 1);
    QCOMPARE(program.SetupTable().Cell(1, column::kAddress), QStringLiteral("3"));
    QVERIFY(program.Trace().contains(QStringLiteral("Попытка №2")));
    QVERIFY(!program.Trace().contains(QStringLiteral("Попытка №3")));
    // The answer to the repeat is still dispatched as a setup answer, into the next row.
    QTRY_COMPARE_WITH_TIMEOUT(program.SetupTable().Cell(2, column::kAddress), QStringLiteral("3"),
                              kPatienceMs);
    QVERIFY(!program.Timer("Timer3")->Enabled());
}

void SetupModeTest::everyCommandIntoItsRows_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<DialogScript>("script");
    QTest::addColumn<Bytes>("requestData");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("values");  // empty: a number, not checked exactly
    const QString ok = QStringLiteral("\u041E\u041A");
    QTest::newRow("read primary variable")
        << 0 << QString() << DialogScript() << Bytes{}
        << QStringList{QStringLiteral("Давление/Pressure:")} << QStringList{};
    QTest::newRow("read current and four variables")
        << 1 << QString() << DialogScript() << Bytes{}
        << QStringList{QStringLiteral("Ток/Iout, mA:"), QStringLiteral("Давление/Pressure:"),
                       QStringLiteral("Um,код АЦП:"), QStringLiteral("Udif,код АЦП:"),
                       QStringLiteral("t микропроцессора,°С ")}
        << QStringList{};
    QTest::newRow("write polling address")
        << 2 << QStringLiteral("TForm3") << DialogScript([](QDialog& d) {
               static_cast<TForm3&>(d).LabeledEdit1->setText(QStringLiteral("7"));
               ClickOk(d);
           })
        << Bytes{7} << QStringList{QStringLiteral("Записан адрес опроса ")} << QStringList{"7"};
    QTest::newRow("read device variables")
        << 3 << QStringLiteral("TForm5") << DialogScript([](QDialog& d) {
               auto& form = static_cast<TForm5&>(d);
               form.ComboBox2->setCurrentIndex(1);
               form.ComboBox3->setCurrentIndex(6);
               form.ComboBox4->setCurrentIndex(8);
               ClickOk(d);
           })
        << Bytes{0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0, 0, 8}
        << QStringList{QStringLiteral("Давление/Pressure"), QStringLiteral("Токовый сигнал/Iout"),
                       QStringLiteral("Величина демпфирования"),
                       QStringLiteral("Нижний предел (Pmin)")}
        << QStringList{};
    QTest::newRow("write damping") << 4 << QStringLiteral("TForm6") << DialogScript([](QDialog& d) {
        static_cast<TForm6&>(d).TrackBar1->setValue(5);
        ClickOk(d);
    }) << Bytes{64, 160, 0, 0} << QStringList{QStringLiteral("Записана величина демпфирования")}
                                   << QStringList{"5,0000000"};
    QTest::newRow("write range")
        << 5 << QStringLiteral("TForm7") << DialogScript([](QDialog& d) {
               auto& form = static_cast<TForm7&>(d);
               form.Edit1->setText(QStringLiteral("0"));
               form.Edit2->setText(QStringLiteral("1.6"));
               ClickOk(d);
           })
        << Bytes{0, 63, 204, 204, 205, 0, 0, 0, 0}
        << QStringList{QStringLiteral("Записано верхнее значение диапазона"),
                       QStringLiteral("Записано нижнее значение диапазона")}
        << QStringList{"1,6000000", "0,0000000"};
    QTest::newRow("range correction")
        << 6 << QString() << DialogScript() << Bytes{}
        << QStringList{QStringLiteral("Проведена коррекция диапазона")} << QStringList{ok};
    QTest::newRow("zero correction")
        << 7 << QString() << DialogScript() << Bytes{}
        << QStringList{QStringLiteral("Проведена коррекция нуля")} << QStringList{ok};
    QTest::newRow("fixed current") << 8 << QStringLiteral("TForm9") << DialogScript([](QDialog& d) {
        static_cast<TForm9&>(d).LabeledEdit1->setText(QStringLiteral("12,5"));
        ClickOk(d);
    }) << Bytes{65, 72, 0, 0} << QStringList{QStringLiteral("Зафиксирован ток (мА)")}
                                   << QStringList{"12,5000000"};
    QTest::newRow("write units") << 9 << QStringLiteral("TForm10") << DialogScript([](QDialog& d) {
        static_cast<TForm10&>(d).RadioGroup1->SetItemIndex(2);
        ClickOk(d);
    }) << Bytes{2} << QStringList{QStringLiteral("Единица измерения давления")}
                                 << QStringList{QStringLiteral("кПа")};
}

void SetupModeTest::everyCommandIntoItsRows() {
    QFETCH(int, index);
    QFETCH(QString, dialog);
    QFETCH(DialogScript, script);
    QFETCH(Bytes, requestData);
    QFETCH(QStringList, names);
    QFETCH(QStringList, values);
    ProgramFixture program;
    SetupTabDriver tab{program};
    if (!dialog.isEmpty()) {
        program.Modals().OnDialog(dialog, script);
    }
    tab.Run(index, 4);
    QCOMPARE(program.Modals().PendingScripts(), 0);
    QCOMPARE(program.Modals().Messages(), QStringList());
    const auto requests = program.RequestsOnWire();
    QCOMPARE(requests.size(), 1u);
    QCOMPARE(Bytes(requests[0].begin() + frame::request::kDataAt, requests[0].end() - 1),
             requestData);

    const int rows = static_cast<int>(names.size());
    QCOMPARE(program.SetupTable().Cell(1, column::kAddress), QStringLiteral("4"));
    QCOMPARE(program.SetupTable().Cell(1, column::kDescription), tab.command->itemText(index));
    QCOMPARE(tab.Column(3, 1, rows), names);
    const QStringList shown = tab.Column(4, 1, rows);
    if (!values.isEmpty()) {
        QCOMPARE(shown, values);
    }
    for (const QString& value : shown) {
        QVERIFY2(!value.isEmpty() && value != kNotReliable, qPrintable(value));
    }
    // The next answer's row follows the block.
    QCOMPARE(program.State().session.GridRow, 1 + rows);
    QCOMPARE(program.SetupTable().RowCount(), 2 + rows);
}

void SetupModeTest::dialogsAtTheRepeats() {
    // The poll address is asked at every sending, the variables only at the first.
    ProgramFixture program({QStringLiteral("--silent"), QStringLiteral("6")});
    SetupTabDriver tab{program};
    for (const char* address : {"20", "21", "300"}) {
        program.Modals().OnDialog(QStringLiteral("TForm3"), [address](QDialog& d) {
            static_cast<TForm3&>(d).LabeledEdit1->setText(QLatin1String(address));
            ClickOk(d);
        });
    }
    tab.Run(2, 6);
    QCOMPARE(program.Modals().PendingScripts(), 0);
    program.Modals().OnDialog(QStringLiteral("TForm5"), [](QDialog& d) {
        static_cast<TForm5&>(d).ComboBox3->setCurrentIndex(3);
        ClickOk(d);
    });
    program.Modals().OnDialog(QStringLiteral("TForm5"), ClickOk);  // must not be needed
    tab.Run(3, 6);
    QCOMPARE(program.Modals().PendingScripts(), 1);
    const Bytes data{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0};
    const Bytes variables = Request(6, 33, data);
    QCOMPARE(program.RequestsOnWire(),
             (std::vector<Bytes>{Request(6, 6, {20}), Request(6, 6, {21}),
                                 Request(6, 6, {44}),  // 300, low eight bits
                                 variables, variables, variables}));
}

void SetupModeTest::dialogDefaultsSentOnOk() {
    // The operator only presses OK: what each dialog holds when first shown goes on the wire.
    const struct {
        int index;
        const char* dialog;
        Bytes data;
    } commands[] = {
        {3, "TForm5", Bytes(19, 0)},
        {4, "TForm6", {63, 128, 0, 0}},
        {5, "TForm7", {0, 63, 128, 0, 0, 0, 0, 0, 0}},
        {8, "TForm9", {64, 128, 0, 0}},
        {9, "TForm10", {0}},
        {2, "TForm3", {9}},  // last, as it moves the transmitter to another address
    };
    ProgramFixture program;
    SetupTabDriver tab{program};
    for (const auto& command : commands) {
        program.Modals().OnDialog(QLatin1String(command.dialog), ClickOk);
        tab.Run(command.index, 4);
    }
    QCOMPARE(program.Modals().PendingScripts(), 0);
    QCOMPARE(program.Modals().Messages(), QStringList());
    const auto requests = program.RequestsOnWire();
    QCOMPARE(requests.size(), std::size(commands));
    for (std::size_t i = 0; i < requests.size(); ++i) {
        QCOMPARE(Bytes(requests[i].begin() + 11, requests[i].end() - 1), commands[i].data);
    }
}

void SetupModeTest::freshCountdownPerAttempt() {
    // Every sending waits the whole time-out, also when a countdown was already running: one a
    // registration pass left behind at the first sending, the expiring one at a repeat.
    ProgramFixture program({QStringLiteral("--silent"), QStringLiteral("5")});
    SetupTabDriver tab{program};
    const int full = 3000;
    program.State().session.ResponseTimeout = full;
    TTimer& timeout = *program.Timer("Timer3");
    timeout.SetInterval(full);
    timeout.SetEnabled(true);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        QTRY_VERIFY_WITH_TIMEOUT(timeout.RemainingTime() < full - 1000, kPatienceMs);
        if (attempt == 1) {
            tab.address->SetPosition(5);
            tab.start->click();
        } else {
            timeout.OnTimer();
        }
        QCOMPARE(program.Trace().count(QStringLiteral("Передача началась")), attempt);
        QVERIFY(timeout.Enabled());
        QCOMPARE(timeout.Interval(), full);
        QVERIFY2(timeout.RemainingTime() > full - 500,
                 qPrintable(QString::number(timeout.RemainingTime())));
    }
}

void SetupModeTest::wrongChecksumAndTwoAnswers() {
    ProgramFixture program({QStringLiteral("--badsum"), QStringLiteral("2")});
    SetupTabDriver tab{program};
    tab.Run(0, 2);
    QCOMPARE(program.SetupTable().Cell(1, column::kValue), kNotReliable);
    QCOMPARE(program.SetupTable().Cell(1, column::kAddress), QStringLiteral("2"));
    QCOMPARE(program.RequestsOnWire().size(), 1u);
    // Two answers to one request: both are dispatched.
    QVERIFY(program.Control(QStringLiteral("normal 2")));
    QVERIFY(program.Control(QStringLiteral("twice 2")));
    tab.Run(0, 2);
    QTRY_COMPARE_WITH_TIMEOUT(program.SetupTable().Cell(3, column::kAddress), QStringLiteral("2"),
                              kPatienceMs);
    QCOMPARE(program.State().session.GridRow, 4);
}

void SetupModeTest::refusedStartsSendNothing() {
    ProgramFixture program;
    SetupTabDriver tab{program};
    ClosePort(program);
    tab.start->click();
    QTRY_COMPARE(program.Modals().Messages(), QStringList{modes::kOpenPortFirst});
    QVERIFY(tab.start->isEnabled());
    QCOMPARE(program.State().session.Mode, hart::kModeNone);
    QVERIFY(program.Trace().join(QString()).isEmpty());

    // A value the dialog cannot take.
    OpenPort(program);
    program.Modals().OnDialog(QStringLiteral("TForm7"), [](QDialog& d) {
        static_cast<TForm7&>(d).Edit2->setText(QStringLiteral("1.2.3"));
        ClickOk(d);
    });
    tab.Run(5, 1);
    QCOMPARE(program.Modals().Messages(),
             (QStringList{modes::kOpenPortFirst,
                          QStringLiteral("'1,2.3' is not a valid floating point value")}));
    QCOMPARE(tab.start->text(), QStringLiteral("Старт"));
    QVERIFY(!program.Timer("Timer3")->Enabled());
    QVERIFY(program.RequestsOnWire().empty());
}

void SetupModeTest::portFailureLeavesTabReady_data() {
    QTest::addColumn<LineAction>("before");    // before "Старт"
    QTest::addColumn<LineAction>("atRepeat");  // after the first sending, before its time-out
    QTest::addColumn<QString>("message");
    // The port takes no more bytes: the refusal is reported, RTS is down and "Старт" works.
    QTest::newRow("frame refused")
        << LineAction([](TForm1& form, FakeSerialDevice& line, ModalDriver&) {
               line.SetWritesStuck(true);
               const Bytes filler(form.Port().Buffers().WriteSize(), 0);
               form.Port().WriteBuf(filler.data(), static_cast<int>(filler.size()));
           })
        << LineAction() << QStringLiteral("Output buffer is full. Please check comm status.");
    // The transmitter is silent and the repeat cannot go out: it ends the transaction as the
    // first sending would.
    QTest::newRow("purge fails at a repeat")
        << LineAction() << LineAction([](TForm1&, FakeSerialDevice& line, ModalDriver&) {
               line.SetFailing(FakeSerialDevice::Record::Kind::Purge, EINVAL);
           })
        << "Error clearing buffers (22), " + QString::fromLatin1(std::strerror(EINVAL));
    QTest::newRow("port closed at a repeat")
        << LineAction() << LineAction([](TForm1& form, FakeSerialDevice&, ModalDriver&) {
               Find<QPushButton>(form, "TabSheet4", "Button15")->click();
           })
        << modes::kOpenPortFirst;
    QTest::newRow("address refused at a repeat")
        << LineAction([](TForm1& form, FakeSerialDevice&, ModalDriver& modals) {
               Find<QComboBox>(form, "TabSheet1", "ComboBox1")->setCurrentIndex(2);
               for (const char* address : {"7", "x"}) {
                   modals.OnDialog(QStringLiteral("TForm3"), [address](QDialog& d) {
                       static_cast<TForm3&>(d).LabeledEdit1->setText(QLatin1String(address));
                       ClickOk(d);
                   });
               }
           })
        << LineAction() << QStringLiteral("'x' is not a valid integer value");
}

void SetupModeTest::portFailureLeavesTabReady() {
    QFETCH(LineAction, before);
    QFETCH(LineAction, atRepeat);
    QFETCH(QString, message);
    auto line = std::make_shared<FakeSerialDevice>();
    ModalDriver modals;
    TForm1 form(line);
    QVERIFY(form.Port().Active());
    auto* start = Find<QPushButton>(form, "TabSheet1", "Button1");
    if (before) {
        before(form, *line, modals);
    }
    start->click();
    if (atRepeat) {
        QVERIFY(!start->isEnabled());
        atRepeat(form, *line, modals);
    }
    QTRY_COMPARE_WITH_TIMEOUT(modals.Messages(), QStringList{message}, kPatienceMs);
    QVERIFY(start->isEnabled());
    QCOMPARE(start->text(), QStringLiteral("Старт"));
    QCOMPARE(form.State().session.AttemptNo, 1);
    QVERIFY(!line->Rts());
    QVERIFY(!form.findChild<TTimer*>(QStringLiteral("Timer3"))->Enabled());
    QCOMPARE(modals.PendingScripts(), 0);
}

QTEST_MAIN(SetupModeTest)
#include "setup_mode_test.moc"
