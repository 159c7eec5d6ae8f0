// A hostile line between the program and its transmitters, made by the simulator: answers cut at
// every byte, answers too long for the receive buffer, wrong checksums, answers that come after
// the program gave up, answers under an unknown or a neighbour's address, garbage and noise
// between answers. The program must survive all of it and be right again once the line is.

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "hart/result_table.h"
#include "tests/support/expectations.h"
#include "tests/support/program_fixture.h"
#include "tests/support/tab_drivers.h"
#include "tests/support/warnings.h"
#include "ui/string_grid.h"

namespace column = hart::column;

namespace {

const QString kAllReceived = QStringLiteral("Буфер приемника: Приняты все байты: %1");

int Count(const QStringList& lines, const QString& line) {
    return static_cast<int>(lines.count(line));
}

bool SomeSlotTimedOut(ProgramFixture& program) {
    return program.Trace().join(u'\n').contains(QStringLiteral("истекло время ожидания"));
}

}  // namespace

class LineFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void cleanupTestCase() { cutProgram_.reset(); }
    void answerCutAtEveryByte_data();
    void answerCutAtEveryByte();
    void registrationAnswersInPiecesOrSpoilt();
    void answerTooLongForTheBuffer_data();
    void answerTooLongForTheBuffer();
    void oneSlotUnheardAmongTen_data();
    void oneSlotUnheardAmongTen();
    void setupAnswerAfterTheGiveUp();
    void registrationAnswerAfterTheGiveUp();
    void answerFromAnUnknownAddress();
    void garbageBeforeSetupAnswers();
    void registrationBackAfterABadLine_data();
    void registrationBackAfterABadLine();

private:
    // One program for all the rows of the cut answers.
    std::unique_ptr<ProgramFixture> cutProgram_;
};

void LineFaultsTest::answerCutAtEveryByte_data() {
    QTest::addColumn<int>("commandIndex");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("pieces");
    // Command 1: a 19-byte answer cut after every one of its bytes.
    for (int cut = 1; cut < 19; ++cut) {
        QTest::addRow("command 1, cut after %d", cut) << 0 << 19 << QString::number(cut);
    }
    // Command 3: a 34-byte answer, cut around the byte count and the data.
    for (const int cut : {1, 3, 4, 9, 10, 11, 12, 13, 14, 20, 33}) {
        QTest::addRow("command 3, cut after %d", cut) << 1 << 34 << QString::number(cut);
    }
    QTest::newRow("command 1, every byte alone")
        << 0 << 19 << QStringLiteral("1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1");
    QTest::newRow("command 1, three pieces") << 0 << 19 << QStringLiteral("8,2,9");
    QTest::newRow("command 3, three pieces") << 1 << 34 << QStringLiteral("11,1,21");
}

void LineFaultsTest::answerCutAtEveryByte() {
    QFETCH(int, commandIndex);
    QFETCH(int, length);
    QFETCH(QString, pieces);
    if (!cutProgram_) {
        cutProgram_ = std::make_unique<ProgramFixture>();
    }
    ProgramFixture& program = *cutProgram_;
    SetupTabDriver tab(program);
    // 8 ms between pieces keeps them apart on the line, and the eighteen single bytes of
    // command 1 within the setup time-out even on a loaded machine.
    QVERIFY(program.Control(QStringLiteral("split 1 %1 8").arg(pieces)));
    const int before = Count(program.Trace(), kAllReceived.arg(length));
    const int row = program.State().session.GridRow;
    tab.Run(commandIndex, 1);
    QCOMPARE(Count(program.Trace(), kAllReceived.arg(length)), before + 1);
    QCOMPARE(program.SetupTable().Cell(row, column::kAddress), QStringLiteral("1"));
    QVERIFY(!program.SetupTable().Cell(row, column::kValue).isEmpty());
    QVERIFY(program.SetupTable().Cell(row, column::kValue) != kNotReliable);
}

void LineFaultsTest::registrationAnswersInPiecesOrSpoilt() {
    ProgramFixture program({QStringLiteral("--split"), QStringLiteral("1-10"),
                            QStringLiteral("10,1,3"), QStringLiteral("10")});
    RegistrationTabDriver tab(program);
    tab.TickAllSlots();
    tab.Toggle();
    QTRY_VERIFY_WITH_TIMEOUT(tab.LampsAre(1, 10, kGreen), kPatienceMs);
    tab.Toggle();
    // Every request sent, repeats included, had its answer read whole.
    QTRY_COMPARE_WITH_TIMEOUT(Count(program.Trace(), kAllReceived.arg(19)),
                              Count(program.Trace(), QStringLiteral("Передача началась")),
                              kPatienceMs);

    // Wrong checksums among the ten.
    QVERIFY(program.Control(QStringLiteral("normal 1-10")));
    QVERIFY(program.Control(QStringLiteral("badsum 2,7")));
    tab.Toggle();
    // A wrong checksum is still an answer: the lamp turns green, the value is not trusted.
    QTRY_VERIFY_WITH_TIMEOUT(tab.LampsAre(1, 10, kGreen), kPatienceMs);
    tab.Toggle();
    for (int slot = 1; slot <= 10; ++slot) {
        const QString value = tab.Cell(tab.RowOf(slot), 4);
        QVERIFY2(slot == 2 || slot == 7 ? value == kNotReliable : value.contains(u','),
                 qPrintable(QStringLiteral("slot %1: %2").arg(slot).arg(value)));
    }
}

void LineFaultsTest::answerTooLongForTheBuffer_data() {
    QTest::addColumn<int>("byteCount");
    QTest::newRow("47") << 47;
    QTest::newRow("100") << 100;
    QTest::newRow("255") << 255;
}

void LineFaultsTest::answerTooLongForTheBuffer() {
    // The answer is dropped whole, so the one after it is read from its first byte again.
    QFETCH(int, byteCount);
    ProgramFixture program(
        {QStringLiteral("--oversize"), QStringLiteral("1"), QString::number(byteCount)});
    SetupTabDriver tab(program);
    tab.Run(0, 1);
    QCOMPARE(program.SetupTable().Cell(1, column::kValue), QStringLiteral("Нет ответа от датчика"));
    const QString dropped =
        QStringLiteral("Буфер приемника: Ответ длиной %1 байт не помещается в буфер и отброшен")
            .arg(byteCount + 14);
    QCOMPARE(Count(program.Trace(), dropped), 3);
    QVERIFY(program.Control(QStringLiteral("normal 1")));
    tab.Run(0, 1);
    QCOMPARE(program.SetupTable().Cell(1, column::kAddress), QStringLiteral("1"));
    QVERIFY(program.SetupTable().Cell(1, column::kValue).contains(u','));
}

void LineFaultsTest::oneSlotUnheardAmongTen_data() {
    QTest::addColumn<QStringList>("switches");
    // Dropped whole, the answer leaves the collector in step for the answers after it.
    QTest::newRow("answer too long for the buffer")
        << QStringList{QStringLiteral("--oversize"), QStringLiteral("4"), QStringLiteral("255")};
    // An answer is taken for what it says: slot 4 looks silent, slot 5 gets two answers a poll.
    QTest::newRow("answer under a neighbour's address")
        << QStringList{QStringLiteral("--answer-as"), QStringLiteral("4"), QStringLiteral("5")};
}

void LineFaultsTest::oneSlotUnheardAmongTen() {
    QFETCH(QStringList, switches);
    ProgramFixture program(switches);
    RegistrationTabDriver tab(program);
    tab.TickAllSlots();
    tab.Toggle();
    QTRY_COMPARE_WITH_TIMEOUT(tab.Cell(tab.RowOf(4), 4), kNoAnswer, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(tab.LampsAre(1, 3, kGreen) && tab.LampsAre(5, 10, kGreen),
                             kPatienceMs);
    QCOMPARE(tab.Lamp(4), kRed);
    tab.Toggle();
}

void LineFaultsTest::setupAnswerAfterTheGiveUp() {
    // Three requests, each answered two seconds late: the program has given up by then, and each
    // answer still becomes a row of its own.
    ProgramFixture program({QStringLiteral("--late"), QStringLiteral("1"), QStringLiteral("2000")});
    SetupTabDriver tab(program);
    tab.Run(0, 1);
    QCOMPARE(program.SetupTable().Cell(1, column::kValue), QStringLiteral("Нет ответа от датчика"));
    QTRY_COMPARE_WITH_TIMEOUT(Count(program.Trace(), kAllReceived.arg(19)), 3, kPatienceMs);
    QCOMPARE(program.State().session.GridRow, 4);
    QVERIFY(program.SetupTable().Cell(3, column::kValue).contains(u','));
    QVERIFY(program.Control(QStringLiteral("normal 1")));
    tab.Run(0, 1);
    QCOMPARE(program.State().session.GridRow, 5);
    QVERIFY(program.SetupTable().Cell(4, column::kValue).contains(u','));
}

void LineFaultsTest::registrationAnswerAfterTheGiveUp() {
    // One poll: three requests to slot 3, each answered three seconds late, after the give-up.
    ProgramFixture program({QStringLiteral("--late"), QStringLiteral("3"), QStringLiteral("3000")});
    RegistrationTabDriver tab(program);
    tab.TickAllSlots();
    tab.period->setValue(100);
    tab.Toggle();
    QTRY_COMPARE_WITH_TIMEOUT(tab.Cell(tab.RowOf(3), 4), kNoAnswer, kPatienceMs);
    // The late answer is an answer all the same: value and lamp follow it.
    QTRY_VERIFY_WITH_TIMEOUT(tab.Cell(tab.RowOf(3), 4).contains(u','), kPatienceMs);
    QCOMPARE(tab.Lamp(3), kGreen);
    QVERIFY(tab.LampsAre(1, 10, kGreen));
    tab.Toggle();
}

void LineFaultsTest::answerFromAnUnknownAddress() {
    QTemporaryDir directory;
    ProgramFixture program(
        {QStringLiteral("--answer-as"), QStringLiteral("5"), QStringLiteral("77")});
    RegistrationTabDriver tab(program);
    tab.TickAllSlots();
    tab.SwitchProtocolOn(directory.filePath(QStringLiteral("p.txt")));
    tab.Toggle();
    QTRY_COMPARE_WITH_TIMEOUT(tab.Cell(tab.RowOf(5), 4), kNoAnswer, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(tab.RowOf(77) > 0, kPatienceMs);
    QVERIFY(tab.LampsAre(1, 4, kGreen) && tab.LampsAre(6, 10, kGreen));
    QCOMPARE(tab.Lamp(5), kRed);
    tab.Toggle();
    tab.protocol->setChecked(false);
    QCOMPARE(program.Modals().TakeMessages(), QStringList());
    // No file for an address without a slot; slot 5 never answered as itself.
    QStringList expected;
    for (int slot = 1; slot <= 10; ++slot) {
        expected << QStringLiteral("p_%1.txt").arg(slot);
    }
    expected.sort();
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files, QDir::Name), expected);
    QCOMPARE(QFileInfo(directory.filePath(QStringLiteral("p_5.txt"))).size(), 0);
    QVERIFY(QFileInfo(directory.filePath(QStringLiteral("p_6.txt"))).size() > 0);
}

void LineFaultsTest::garbageBeforeSetupAnswers() {
    ProgramFixture program({QStringLiteral("--garbage"), QStringLiteral("1"), QStringLiteral("7"),
                            QStringLiteral("--seed"), QStringLiteral("3")});
    SetupTabDriver tab(program);
    tab.Run(0, 1);
    tab.Run(1, 1);
    QVERIFY(program.Control(QStringLiteral("normal 1")));
    // Every start begins collecting afresh.
    const int row = program.State().session.GridRow;
    tab.Run(0, 1);
    QCOMPARE(program.SetupTable().Cell(row, column::kAddress), QStringLiteral("1"));
    QVERIFY(program.SetupTable().Cell(row, column::kValue).contains(u','));
}

void LineFaultsTest::registrationBackAfterABadLine_data() {
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("clean");
    QTest::newRow("garbage before one transmitter's answers")
        << QStringList{QStringLiteral("--garbage"), QStringLiteral("3"), QStringLiteral("5")}
        << QStringLiteral("normal 3");
    QTest::newRow("noise between answers")
        << QStringList{QStringLiteral("--noise"), QStringLiteral("0"), QStringLiteral("300")}
        << QStringLiteral("noise 0 0");
}

void LineFaultsTest::registrationBackAfterABadLine() {
    QFETCH(QStringList, switches);
    QFETCH(QString, clean);
    ProgramFixture program(switches << QStringLiteral("--seed") << QStringLiteral("11"));
    RegistrationTabDriver tab(program);
    tab.TickAllSlots();
    tab.Toggle();
    QTRY_VERIFY_WITH_TIMEOUT(SomeSlotTimedOut(program), kPatienceMs);
    QVERIFY(program.Control(clean));
    // Once the line is clean again, every transmitter is heard again.
    QTRY_VERIFY_WITH_TIMEOUT(tab.LampsAre(1, 10, kGreen), kPatienceMs);
    tab.Toggle();
}

QTEST_MAIN(LineFaultsTest)
#include "line_faults_test.moc"
