// The misbehaviour switches shape the answers of their poll address, and only of it.

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

#include <memory>

#include "tests/support/sim_client.h"
#include "tests/support/test_frames.h"

using namespace simtest;
using testframes::Concat;

namespace {

// Writing unit 0 gives the same answer every time, so whole answers can be compared.
const Bytes kUnitsAt3 = {255, 255, 255, 130, 255, 255, 255, 255, 3, 44, 1, 0, 172};
const Bytes kUnitsAnswerAt3 = {255, 255, 255, 134, 255, 255, 255, 255, 3, 44, 1, 0, 0, 0, 168};
// Address 0 is never switched; its answer shows what address 3 sent before it.
const Bytes kUnitsAt0 = {255, 255, 255, 130, 255, 255, 255, 255, 0, 44, 1, 0, 175};
const Bytes kUnitsAnswerAt0 = {255, 255, 255, 134, 255, 255, 255, 255, 0, 44, 1, 0, 0, 0, 171};

}  // namespace

class SimulatorFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void answerShape_data();
    void answerShape();
    void randomGarbageComesBeforeTheAnswer();
    void lateAnswerWaits();
    void splitAnswerTakesItsPauses();
    void pacedAnswerTakesTheLineTime();
    void noiseArrivesUnasked();
    void switchesFromTheCommandLine();
    void badControlLinesAreRefused_data();
    void badControlLinesAreRefused();

private:
    void Start(const QStringList& arguments = {});
    // Time from sending the request until the whole expected answer has arrived.
    qint64 TimedExchange(const Bytes& request, const Bytes& expected);

    std::unique_ptr<SimulatorProcess> simulator_;
    std::unique_ptr<SlavePort> port_;
};

void SimulatorFaultsTest::init() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
}

void SimulatorFaultsTest::cleanup() {
    port_.reset();
    simulator_.reset();
}

void SimulatorFaultsTest::Start(const QStringList& arguments) {
    simulator_ = std::make_unique<SimulatorProcess>(arguments);
    QVERIFY(simulator_->Started());
    port_ = std::make_unique<SlavePort>(simulator_->SlavePath());
    QVERIFY(port_->IsOpen());
}

qint64 SimulatorFaultsTest::TimedExchange(const Bytes& request, const Bytes& expected) {
    QElapsedTimer clock;
    clock.start();
    port_->Send(request);
    const Bytes answer = port_->Read(expected.size());
    const qint64 elapsed = clock.elapsed();
    [&] { QCOMPARE(answer, expected); }();
    return elapsed;
}

void SimulatorFaultsTest::answerShape_data() {
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<Bytes>("expected");

    const Bytes badChecksum = {255, 255, 255, 134, 255, 255, 255, 255, 3, 44, 1, 0, 0, 0, 87};
    const Bytes answeredAs9 = {255, 255, 255, 134, 255, 255, 255, 255, 9, 44, 1, 0, 0, 0, 162};
    const Bytes oversize47(47, 0);
    const Bytes oversize60(60, 0);

    QTest::newRow("normal") << QStringList{} << kUnitsAnswerAt3;
    QTest::newRow("silent") << QStringList{"silent 3"} << Bytes{};
    QTest::newRow("badsum") << QStringList{"badsum 3"} << badChecksum;
    QTest::newRow("answer-as") << QStringList{"answer-as 3 9"} << answeredAs9;
    QTest::newRow("given garbage")
        << QStringList{"garbage 3 1,2,130"} << Concat({1, 2, 130}, kUnitsAnswerAt3);
    QTest::newRow("one given byte") << QStringList{"garbage 3 7,"} << Concat({7}, kUnitsAnswerAt3);
    QTest::newRow("oversize") << QStringList{"oversize 3"}
                              << testframes::Response(3, 44, oversize47);
    QTest::newRow("oversize 60") << QStringList{"oversize 3 60"}
                                 << testframes::Response(3, 44, oversize60);
    QTest::newRow("twice") << QStringList{"twice 3"} << Concat(kUnitsAnswerAt3, kUnitsAnswerAt3);
    QTest::newRow("split") << QStringList{"split 3 8,2,9 5"} << kUnitsAnswerAt3;
    QTest::newRow("switches combine") << QStringList{"badsum 3", "garbage 3 5,", "twice 3"}
                                      << Concat(Concat({5}, badChecksum), Concat({5}, badChecksum));
    QTest::newRow("normal clears")
        << QStringList{"badsum 3", "answer-as 3 9", "oversize 3", "garbage 3 9", "normal 3"}
        << kUnitsAnswerAt3;
    QTest::newRow("an address range") << QStringList{"answer-as 1-4 9"} << answeredAs9;
    QTest::newRow("another address") << QStringList{"badsum 4", "silent 2,5"} << kUnitsAnswerAt3;
}

void SimulatorFaultsTest::answerShape() {
    QFETCH(QStringList, controls);
    QFETCH(Bytes, expected);

    Start();
    for (const QString& line : controls) {
        QCOMPARE(simulator_->Control(line), QStringLiteral("ok ") + line);
    }
    port_->Send(kUnitsAt3);
    QCOMPARE(port_->Read(expected.size()), expected);
    // Anything more from address 3 would come before this answer.
    port_->Send(kUnitsAt0);
    QCOMPARE(port_->Read(kUnitsAnswerAt0.size()), kUnitsAnswerAt0);
}

void SimulatorFaultsTest::randomGarbageComesBeforeTheAnswer() {
    Start({"--seed", "7"});
    QCOMPARE(simulator_->Control("garbage 3 5"), QStringLiteral("ok garbage 3 5"));
    port_->Send(kUnitsAt3);
    const Bytes received = port_->Read(5 + kUnitsAnswerAt3.size());
    QCOMPARE(Bytes(received.begin() + 5, received.end()), kUnitsAnswerAt3);
}

void SimulatorFaultsTest::lateAnswerWaits() {
    Start();
    QCOMPARE(simulator_->Control("late 3 300"), QStringLiteral("ok late 3 300"));
    QVERIFY(TimedExchange(kUnitsAt3, kUnitsAnswerAt3) >= 300);
    // Another address is not held up behind it.
    port_->Send(kUnitsAt3);
    port_->Send(kUnitsAt0);
    QCOMPARE(port_->Read(kUnitsAnswerAt0.size()), kUnitsAnswerAt0);
    QCOMPARE(port_->Read(kUnitsAnswerAt3.size()), kUnitsAnswerAt3);
}

void SimulatorFaultsTest::splitAnswerTakesItsPauses() {
    Start();
    QCOMPARE(simulator_->Control("split 3 8,2 40"), QStringLiteral("ok split 3 8,2 40"));
    QVERIFY(TimedExchange(kUnitsAt3, kUnitsAnswerAt3) >= 80);  // three pieces, two pauses
}

void SimulatorFaultsTest::pacedAnswerTakesTheLineTime() {
    Start({"--pace"});
    const Bytes oversize(100, 0);
    QCOMPARE(simulator_->Control("oversize 3 100"), QStringLiteral("ok oversize 3 100"));
    // 114 bytes at about 1,04 ms each.
    QVERIFY(TimedExchange(kUnitsAt3, testframes::Response(3, 44, oversize)) >= 110);
}

void SimulatorFaultsTest::noiseArrivesUnasked() {
    Start();
    QCOMPARE(simulator_->Control("noise 2 200"), QStringLiteral("ok noise 2 200"));
    QVERIFY(port_->Read(3).size() == 3);
    QCOMPARE(simulator_->Control("normal 2"), QStringLiteral("ok normal 2"));
}

void SimulatorFaultsTest::switchesFromTheCommandLine() {
    Start({"--silent", "3", "--badsum", "0", "--pace"});
    const Bytes badChecksum = {255, 255, 255, 134, 255, 255, 255, 255, 0, 44, 1, 0, 0, 0, 84};
    port_->Send(kUnitsAt3);
    port_->Send(kUnitsAt0);
    QCOMPARE(port_->Read(badChecksum.size()), badChecksum);
}

void SimulatorFaultsTest::badControlLinesAreRefused_data() {
    QTest::addColumn<QString>("line");
    QTest::newRow("unknown") << "frobnicate 3";
    QTest::newRow("missing value") << "late 3";
    QTest::newRow("extra value") << "silent 3 4";
    QTest::newRow("bad address") << "late x 5";
    QTest::newRow("address above 255") << "silent 256";
    QTest::newRow("empty range") << "silent 5-2";
    QTest::newRow("small oversize") << "oversize 3 20";
    QTest::newRow("bad piece size") << "split 3 8,x 30";
    QTest::newRow("negative delay") << "late 3 -5";
    QTest::newRow("replug with two values") << "replug 5 5";
}

void SimulatorFaultsTest::badControlLinesAreRefused() {
    QFETCH(QString, line);
    Start();
    QVERIFY(simulator_->Control(line).startsWith(QLatin1String("error: ")));
    // Nothing was changed: address 3 answers as usual.
    port_->Send(kUnitsAt3);
    QCOMPARE(port_->Read(kUnitsAnswerAt3.size()), kUnitsAnswerAt3);
}

QTEST_GUILESS_MAIN(SimulatorFaultsTest)
#include "simulator_faults_test.moc"
