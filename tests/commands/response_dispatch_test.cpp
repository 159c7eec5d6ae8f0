// Complete answers handed through the dispatcher to the decoders: the setup table's rows and
// their bookkeeping, the registration table's blocks, the lamps, and the protocol pieces.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <memory>
#include <vector>

#include "commands/catalogue.h"
#include "commands/device_variables.h"
#include "hart/frame_layout.h"
#include "hart/result_table.h"
#include "modes/receive_path.h"
#include "tests/support/expectations.h"
#include "tests/support/standalone_controls.h"
#include "tests/support/test_frames.h"
#include "tests/support/warnings.h"
#include "ui/shape.h"
#include "ui/string_grid.h"
#include "ui/timer.h"
#include "ui/trace_memo.h"

namespace column = hart::column;

namespace {

using testframes::Bytes;
using testframes::Response;

const Bytes kPressure{66, 202, 166, 102};  // 101,3250000
// clang-format off
const Bytes kCommand3Data{65, 64, 0, 0,  63, 192, 0, 0,   68, 154, 64, 0,
                          68, 13, 192, 0, 65, 187, 167, 82};  // 12 / 1,5 / 1234 / 567 / 23,45
// clang-format on

Bytes Command1Data(const Bytes& value = kPressure) {
    Bytes data = value;
    data.insert(data.begin(), 12);
    return data;
}

// Four groups: code, unit (40 + the group's number), value.
Bytes Command33Data(const std::array<Bytes, 4>& values) {
    Bytes data;
    for (std::uint8_t group = 0; group < 4; ++group) {
        data.push_back(group);
        data.push_back(static_cast<std::uint8_t>(40 + group));
        data.insert(data.end(), values[group].begin(), values[group].end());
    }
    return data;
}

// Protocol pieces by address, and the registration readings as
// "address command: values | unit codes".
class RecordingSink : public commands::ProtocolSink, public commands::RegistrationReadingSink {
public:
    void ProtocolWrite(std::uint8_t address, const QString& text) override {
        lines[address] += text;
    }
    void ProtocolEndLine(std::uint8_t address) override {
        lines[address] += QStringLiteral("<end>");
    }
    void RegistrationStarted() override {}
    void RegistrationReading(std::uint8_t address, std::uint8_t command,
                             std::span<const float> values,
                             std::span<const std::uint8_t> units) override {
        QString reading = QStringLiteral("%1 %2:").arg(address).arg(command);
        for (const float value : values) {
            reading += u' ' + QString::number(value);
        }
        reading += QStringLiteral(" |");
        for (const std::uint8_t unit : units) {
            reading += u' ' + QString::number(unit);
        }
        readings << reading;
    }
    void RegistrationSilent(int) override {}
    std::map<int, QString> lines;
    QStringList readings;
};

// The receive path and the controls it writes, without a port.
struct Program : StandaloneControls {
    hart::ProgramState state;
    RecordingSink sink;
    modes::ReceivePath path{state, For(sink, sink)};

    explicit Program(std::uint8_t mode) {
        button1.setEnabled(false);
        state.session.Mode = mode;
        state.session.AttemptNo = 3;
    }

    void Receive(const Bytes& bytes) { path.Collect(bytes); }
    // The request asked for these four variable codes, and the dialog still shows them.
    void RequestVariables(const std::array<int, commands::kVariableGroups>& codes) {
        const std::array lists{form5.ComboBox1, form5.ComboBox2, form5.ComboBox3, form5.ComboBox4};
        for (int group = 0; group < commands::kVariableGroups; ++group) {
            state.request
                .TxFrame[hart::frame::request::kDataAt + group * commands::kVariableGroupSize] =
                static_cast<std::uint8_t>(codes[group]);
            lists[group]->setCurrentIndex(codes[group]);
        }
    }
    // The cells of a row, columns 0..5.
    QStringList Row(const TStringGrid& grid, int row) const {
        QStringList cells;
        for (int column = 0; column < 6; ++column) {
            cells << grid.Cell(row, column);
        }
        return cells;
    }
    // The cells of `column` in rows first .. first + count - 1.
    QStringList Column(const TStringGrid& grid, int column, int first, int count) const {
        QStringList cells;
        for (int row = first; row < first + count; ++row) {
            cells << grid.Cell(row, column);
        }
        return cells;
    }
    QStringList Values(const TStringGrid& grid, int first, int count) const {
        return Column(grid, column::kValue, first, count);
    }
    QStringList Names(const TStringGrid& grid, int first, int count) const {
        return Column(grid, column::kParameter, first, count);
    }
    QColor Lamp(int slot) const { return lamps[slot]->BrushColor(); }
};

bool IsTimeAndDate(const QString& text) {
    // Time first (hours to seconds), a blank, then the date with its year.
    static const QRegularExpression pattern(
        QStringLiteral("^\\d{1,2}:\\d{2}:\\d{2}( [AP]M)? \\S.*\\d{2}$"));
    return pattern.match(text).hasMatch();
}

}  // namespace

class ResponseDispatchTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    // Setup mode.
    void setupAnswerEndsTheTransaction();
    void setupRowFromWhatTheAnswerSays();
    void setupChecksumDecidesValidity();
    void setupCommand3Block();
    void setupCommand33Block();
    void writeCommands_data();
    void writeCommands();
    void writeRangeTakesTwoRows();
    void unknownCommandStillAddsARow();
    // Registration mode.
    void lampsFollowAttempts();
    void answerStopsOnlyItsEnabledSlotTimer();
    void registrationBlocks();
    void registrationCommand1Validity();
    void registrationReadings_data();
    void registrationReadings();
    void protocolPieces();
    // No mode yet.
    void beforeAnyModeOnlyTraced();
};

void ResponseDispatchTest::setupAnswerEndsTheTransaction() {
    Program p(hart::kModeSetup);
    p.timer3.SetInterval(250);
    p.timer3.SetEnabled(true);
    p.Receive(Response(0, 1, Command1Data()));
    QVERIFY(!p.timer3.Enabled());
    QVERIFY(p.button1.isEnabled());
    QCOMPARE(p.button1.text(), QStringLiteral("Старт"));
    QCOMPARE(p.state.session.AttemptNo, 1);
    QCOMPARE(p.state.session.GridRow, 2);
    QCOMPARE(p.grid1.RowCount(), 3);
    QCOMPARE(p.grid1.currentRow(), 2);
    const QStringList trace = p.memo.toPlainText().split(u'\n');
    QCOMPARE(trace, (QStringList{QStringLiteral("Буфер приемника: Приняты все байты: 19"),
                                 QStringLiteral("Получен ответ:"),
                                 QStringLiteral(" 255 255 255 134 255 255 255 255 0 1 5 0 0 12 66 "
                                                "202 166 102 198")}));
}

void ResponseDispatchTest::setupRowFromWhatTheAnswerSays() {
    // The operator picked another entry while waiting: the description shows it anyway, while
    // the command column shows the answer's command number.
    Program p(hart::kModeSetup);
    p.comboBox1.setCurrentIndex(4);
    p.Receive(Response(7, 1, Command1Data()));
    const QStringList row = p.Row(p.grid1, 1);
    QCOMPARE(row.mid(0, 5),
             (QStringList{"7", "1", QStringLiteral("Записать величину демпфирования"),
                          QStringLiteral("Давление/Pressure:"), "101,3250000"}));
    QVERIFY2(IsTimeAndDate(row[5]), qPrintable(row[5]));
}

void ResponseDispatchTest::setupChecksumDecidesValidity() {
    // A command-1 answer with byte count 6 and a correct checksum: setup mode checks the last
    // byte and accepts it.
    Program p(hart::kModeSetup);
    p.Receive(Response(1, 1, {12, 66, 202, 166, 102, 0}));
    QCOMPARE(p.grid1.Cell(1, column::kValue), QStringLiteral("101,3250000"));
    p.Receive(Response(0, 1, Command1Data(), false));
    QCOMPARE(p.grid1.Cell(2, column::kValue), kNotReliable);
    QVERIFY(p.button1.isEnabled());
    QCOMPARE(p.state.session.GridRow, 3);
}

void ResponseDispatchTest::setupCommand3Block() {
    Program p(hart::kModeSetup);
    p.Receive(Response(1, 3, kCommand3Data));
    QCOMPARE(p.Names(p.grid1, 1, 5),
             (QStringList{QStringLiteral("Ток/Iout, mA:"), QStringLiteral("Давление/Pressure:"),
                          QStringLiteral("Um,код АЦП:"), QStringLiteral("Udif,код АЦП:"),
                          QStringLiteral("t микропроцессора,°С ")}));
    QCOMPARE(p.Values(p.grid1, 1, 5),
             (QStringList{"12,0000000", "1,5000000", "1234", "567", "23,45"}));
    QCOMPARE(p.state.session.GridRow, 6);
    QCOMPARE(p.grid1.RowCount(), 7);
    // Only the first row of the block carries address and command.
    QCOMPARE(p.grid1.Cell(4, column::kAddress), QString());
    p.Receive(Response(1, 3, kCommand3Data, false));
    QCOMPARE(p.Values(p.grid1, 6, 5), QStringList(5, kNotReliable));
    QCOMPARE(p.state.session.GridRow, 11);
    p.Receive(Response(1, 1, Command1Data()));
    QCOMPARE(p.grid1.Cell(11, column::kParameter), QStringLiteral("Давление/Pressure:"));
}

void ResponseDispatchTest::setupCommand33Block() {
    Program p(hart::kModeSetup);
    // The request sent the codes 0, 2, 6, 7 and the dialog still shows them.
    p.RequestVariables({0, 2, 6, 7});
    const std::array<Bytes, 4> values{kPressure, Bytes{68, 154, 64, 0}, Bytes{65, 32, 0, 0},
                                      Bytes{63, 204, 204, 205}};
    p.Receive(Response(2, 33, Command33Data(values)));
    QCOMPARE(p.Names(p.grid1, 1, 4), (QStringList{QStringLiteral("Давление/Pressure"), "Um",
                                                  QStringLiteral("Величина демпфирования"),
                                                  QStringLiteral("Верхний предел (Pmax)")}));
    QCOMPARE(p.Values(p.grid1, 1, 4), (QStringList{"101,3250000", "1234", "10", "1,6000000"}));
    QCOMPARE(p.state.session.GridRow, 5);

    p.Receive(Response(2, 33, Command33Data(values), false));
    QCOMPARE(p.Values(p.grid1, 5, 4), (QStringList{kNotReliable, "", "", ""}));
    QCOMPARE(p.state.session.GridRow, 9);
}

void ResponseDispatchTest::writeCommands_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<Bytes>("data");
    QTest::addColumn<bool>("good");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    const QString ok = QStringLiteral("\u041E\u041A");
    QTest::newRow("poll address as the device reports it")
        << 6 << Bytes{3} << true << QStringLiteral("Записан адрес опроса ") << "3";
    QTest::newRow("poll address, bad checksum")
        << 6 << Bytes{3} << false << QStringLiteral("Записан адрес опроса ") << kNotReliable;
    QTest::newRow("damping") << 34 << Bytes{65, 32, 0, 0} << true
                             << QStringLiteral("Записана величина демпфирования") << "10,0000000";
    QTest::newRow("range correction")
        << 36 << Bytes{} << true << QStringLiteral("Проведена коррекция диапазона") << ok;
    QTest::newRow("zero correction")
        << 37 << Bytes{} << true << QStringLiteral("Проведена коррекция нуля") << ok;
    QTest::newRow("zero correction, bad checksum")
        << 37 << Bytes{} << false << QStringLiteral("Проведена коррекция нуля") << kNotReliable;
    QTest::newRow("current fixed") << 40 << Bytes{65, 72, 0, 0} << true
                                   << QStringLiteral("Зафиксирован ток (мА)") << "12,5000000";
    QTest::newRow("negative zero counts as a current")
        << 40 << Bytes{128, 0, 0, 0} << true << QStringLiteral("Зафиксирован ток (мА)")
        << "0,0000000";
    QTest::newRow("fixed current off")
        << 40 << Bytes{0, 0, 0, 0} << true << QStringLiteral("Режим фиксированного тока отключен")
        << ok;
    QTest::newRow("fixed current, bad checksum: no name")
        << 40 << Bytes{0, 0, 0, 0} << false << QString() << kNotReliable;
    QTest::newRow("units") << 44 << Bytes{1} << true << QStringLiteral("Единица измерения давления")
                           << QStringLiteral("МПа");
    QTest::newRow("units outside the list")
        << 44 << Bytes{7} << true << QStringLiteral("Единица измерения давления") << "7";
}

void ResponseDispatchTest::writeCommands() {
    QFETCH(int, command);
    QFETCH(Bytes, data);
    QFETCH(bool, good);
    QFETCH(QString, name);
    QFETCH(QString, value);
    Program p(hart::kModeSetup);
    p.Receive(Response(5, static_cast<std::uint8_t>(command), data, good));
    QCOMPARE(p.grid1.Cell(1, column::kParameter), name);
    QCOMPARE(p.grid1.Cell(1, column::kValue), value);
    QCOMPARE(p.state.session.GridRow, 2);
    QCOMPARE(p.grid1.RowCount(), 3);
}

void ResponseDispatchTest::writeRangeTakesTwoRows() {
    Program p(hart::kModeSetup);
    p.Receive(Response(5, 35, {0, 63, 128, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(p.Names(p.grid1, 1, 2),
             (QStringList{QStringLiteral("Записано верхнее значение диапазона"),
                          QStringLiteral("Записано нижнее значение диапазона")}));
    QCOMPARE(p.Values(p.grid1, 1, 2), (QStringList{"1,0000000", "0,0000000"}));
    QCOMPARE(p.state.session.GridRow, 3);
    QCOMPARE(p.grid1.RowCount(), 4);
    p.Receive(Response(5, 35, {0, 63, 128, 0, 0, 0, 0, 0, 0}, false));
    QCOMPARE(p.Values(p.grid1, 3, 2), (QStringList{kNotReliable, ""}));
    QCOMPARE(p.state.session.GridRow, 5);
}

void ResponseDispatchTest::unknownCommandStillAddsARow() {
    Program p(hart::kModeSetup);
    p.Receive(Response(9, 99, {1, 2}));
    const QStringList row = p.Row(p.grid1, 1);
    QCOMPARE(row.mid(0, 5), (QStringList{"9", "99", commands::CatalogueTexts()[0], "", ""}));
    QCOMPARE(p.grid1.RowCount(), 3);
    QCOMPARE(p.state.session.GridRow, 2);
}

void ResponseDispatchTest::lampsFollowAttempts() {
    Program p(hart::kModeRegistration);
    // Addresses outside the slots change no slot.
    for (int address : {0, 11, 255}) {
        p.Receive(Response(static_cast<std::uint8_t>(address), 1, Command1Data()));
    }
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        QCOMPARE(p.state.slotArrays.SlotState[slot], hart::kLampSilver);
    }
    p.state.slotArrays.SlotEnabled[4] = 1;
    p.state.slotArrays.SlotAttempts[4] = 1;
    p.Receive(Response(4, 1, Command1Data()));
    QCOMPARE(p.state.slotArrays.SlotState[4], hart::kLampGreen);
    QCOMPARE(p.Lamp(4), kGreen);

    p.state.slotArrays.SlotAttempts[4] = 2;
    p.Receive(Response(4, 1, Command1Data()));
    QCOMPARE(p.state.slotArrays.SlotState[4], hart::kLampYellow);
    QCOMPARE(p.state.slotArrays.SlotAttempts[4], 1);
    QCOMPARE(p.Lamp(4), kYellow);

    // Every lamp is repainted from its state; an unknown state leaves its lamp alone.
    p.state.slotArrays.SlotState[2] = hart::kLampRed;
    p.state.slotArrays.SlotState[3] = 9;
    p.Receive(Response(4, 1, Command1Data()));
    QCOMPARE(p.Lamp(2), kRed);
    QCOMPARE(p.Lamp(3), kSilver);
}

void ResponseDispatchTest::answerStopsOnlyItsEnabledSlotTimer() {
    Program p(hart::kModeRegistration);
    for (int slot : {2, 4}) {
        p.slotTimers[slot]->SetInterval(250);
        p.slotTimers[slot]->SetEnabled(true);
    }
    p.state.slotArrays.SlotEnabled[4] = 1;
    p.Receive(Response(4, 1, Command1Data()));
    QVERIFY(!p.slotTimers[4]->Enabled());
    QVERIFY(p.slotTimers[2]->Enabled());
    // Slot 2 takes no part in the run: its answer stops nothing, but still sets its lamp.
    p.Receive(Response(2, 1, Command1Data()));
    QVERIFY(p.slotTimers[2]->Enabled());
    QCOMPARE(p.Lamp(2), kGreen);
    QVERIFY(p.memo.toPlainText().contains(QStringLiteral("Режим регистрации. Получен ответ:")));
}

void ResponseDispatchTest::registrationBlocks() {
    Program p(hart::kModeRegistration);
    p.comboBox2.setCurrentIndex(1);
    p.Receive(Response(3, 3, kCommand3Data));
    p.Receive(Response(7, 3, kCommand3Data));
    QCOMPARE(p.grid2.Cell(1, column::kAddress), "3");
    QCOMPARE(p.grid2.Cell(6, column::kAddress), "7");
    // A new device gets the rows after the last block in use.
    p.Receive(Response(5, 3, kCommand3Data));
    QCOMPARE(p.state.session.RegRow, 11);
    QCOMPARE(p.Row(p.grid2, 11).mid(0, 3),
             (QStringList{"5", "3", QStringLiteral("Считать ток и значения 4-х переменных")}));
    QCOMPARE(p.Names(p.grid2, 11, 5),
             (QStringList{QStringLiteral("Ток/Iout, mA: "), QStringLiteral("Давление/Pressure: "),
                          QStringLiteral("Um,код АЦП: "), QStringLiteral("Udif,код АЦП: "),
                          QStringLiteral("t микропроцессора,°С ")}));
    QCOMPARE(p.Values(p.grid2, 11, 5),
             (QStringList{"12,0000000", "1,5000000", "1234", "567", "23,45"}));
    QVERIFY(IsTimeAndDate(p.grid2.Cell(11, column::kTime)));
    // A device that has a block keeps it.
    p.Receive(Response(3, 3, kCommand3Data, false));
    QCOMPARE(p.state.session.RegRow, 1);
    QCOMPARE(p.Values(p.grid2, 1, 5), QStringList(5, kNotReliable));
    // The setup table is untouched by registration answers.
    QCOMPARE(p.grid1.RowCount(), 2);
}

void ResponseDispatchTest::registrationCommand1Validity() {
    Program p(hart::kModeRegistration);
    // A write command's answer takes no row, but lights its lamp.
    p.Receive(Response(1, 34, {65, 32, 0, 0}));
    QCOMPARE(p.grid2.Cell(1, column::kAddress), QString());
    QCOMPARE(p.state.slotArrays.SlotState[1], hart::kLampGreen);
    // Registration mode checks the byte after the four value bytes, whatever the byte count.
    p.Receive(Response(1, 1, {12, 66, 202, 166, 102, 0}));
    QCOMPARE(p.grid2.Cell(1, column::kValue), kNotReliable);
    p.Receive(Response(1, 1, Command1Data()));
    QCOMPARE(p.Row(p.grid2, 1).mid(0, 5),
             (QStringList{"1", "1", QStringLiteral("Считать первичную переменную"),
                          QStringLiteral("Давление/Pressure:"), "101,3250000"}));
}

void ResponseDispatchTest::registrationReadings_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<Bytes>("answer");
    QTest::addColumn<QStringList>("readings");
    const int registration = hart::kModeRegistration;
    const Bytes command33 = Command33Data(
        {kPressure, Bytes{68, 154, 64, 0}, Bytes{65, 32, 0, 0}, Bytes{63, 204, 204, 205}});
    QTest::newRow("1") << registration << Response(4, 1, Command1Data())
                       << QStringList{"4 1: 101.325 | 12"};
    QTest::newRow("1, wrong checksum")
        << registration << Response(4, 1, Command1Data(), false) << QStringList{"4 1: |"};
    QTest::newRow("3") << registration << Response(2, 3, kCommand3Data)
                       << QStringList{"2 3: 12 1.5 1234 567 23.4567 |"};
    QTest::newRow("3, wrong checksum")
        << registration << Response(2, 3, kCommand3Data, false) << QStringList{"2 3: |"};
    QTest::newRow("33") << registration << Response(6, 33, command33)
                        << QStringList{"6 33: 101.325 1234 10 1.6 | 40 41 42 43"};
    QTest::newRow("33, wrong checksum")
        << registration << Response(6, 33, command33, false) << QStringList{"6 33: |"};
    QTest::newRow("setup answers are no readings")
        << int{hart::kModeSetup} << Response(4, 1, Command1Data()) << QStringList();
}

void ResponseDispatchTest::registrationReadings() {
    QFETCH(int, mode);
    QFETCH(Bytes, answer);
    QFETCH(QStringList, readings);
    Program p(static_cast<std::uint8_t>(mode));
    p.Receive(answer);
    QCOMPARE(p.sink.readings, readings);
}

void ResponseDispatchTest::protocolPieces() {
    Program p(hart::kModeRegistration);
    // Nothing while the box is unticked.
    p.Receive(Response(4, 1, Command1Data()));
    p.comboBox2.setCurrentIndex(1);
    p.Receive(Response(5, 3, kCommand3Data, false));
    QVERIFY(p.sink.lines.empty());
    p.comboBox2.setCurrentIndex(0);
    p.checkBox1.setChecked(true);
    p.Receive(Response(1, 1, Command1Data()));
    QCOMPARE(p.sink.lines[1],
             QStringLiteral("Addr: 1 Command: 1 Давление/Pressure: 101,3250000 <end>"));
    p.sink.lines.clear();
    p.Receive(Response(1, 1, Command1Data(), false));
    QCOMPARE(p.sink.lines[1], QStringLiteral("Addr: 1 Command: 1 <end>"));

    p.sink.lines.clear();
    p.comboBox2.setCurrentIndex(1);
    p.Receive(Response(2, 3, kCommand3Data));
    QCOMPARE(p.sink.lines[2], QStringLiteral("Addr: 2 Command: 3 Iout, mA: 12,0000000  Pressure: "
                                             "1,5000000  Um: 1234  Udif: 567  t(°C): 23,45<end>"));
    p.sink.lines.clear();
    p.Receive(Response(2, 3, kCommand3Data, false));
    // Only the date and a blank, no line end: the next line continues it.
    QVERIFY(p.sink.lines[2].endsWith(u' '));
    QVERIFY(!p.sink.lines[2].contains(QStringLiteral("<end>")));
    QVERIFY(!p.sink.lines[2].contains(QStringLiteral("Addr")));

    p.sink.lines.clear();
    p.comboBox2.setCurrentIndex(2);
    p.RequestVariables({0, 1, 2, 7});
    const std::array<Bytes, 4> values{kPressure, Bytes{65, 64, 0, 0}, Bytes{68, 154, 64, 0},
                                      Bytes{63, 204, 204, 205}};
    p.Receive(Response(3, 33, Command33Data(values)));
    QCOMPARE(p.sink.lines[3], QStringLiteral("Addr: 3 Command: 33 Pressure: 101,3250000 Iout,mA: "
                                             "12,0000000 Um: 1234 Pmax 1,6000000 <end>"));
    const int block = p.state.session.RegRow;
    QCOMPARE(p.Values(p.grid2, block, 4),
             (QStringList{"101,3250000", "12,0000000", "1234", "1,6000000"}));
    p.sink.lines.clear();
    p.Receive(Response(3, 33, Command33Data(values), false));
    QVERIFY(p.sink.lines.empty());
    QCOMPARE(p.Values(p.grid2, block, 4), QStringList(4, kNotReliable));
}

void ResponseDispatchTest::beforeAnyModeOnlyTraced() {
    Program p(hart::kModeNone);
    p.Receive(Response(1, 1, Command1Data()));
    QCOMPARE(p.memo.toPlainText(), QStringLiteral("Буфер приемника: Приняты все байты: 19"));
    QCOMPARE(p.grid1.Cell(1, column::kAddress), QString());
    QCOMPARE(p.grid2.Cell(1, column::kAddress), QString());
}

QTEST_MAIN(ResponseDispatchTest)
#include "response_dispatch_test.moc"
