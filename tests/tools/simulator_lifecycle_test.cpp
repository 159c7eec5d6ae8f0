// The simulator's life: its link, replugging, ending, the log of the line, and idling.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "tests/support/proc_stats.h"
#include "tests/support/sim_client.h"
#include "tests/support/test_frames.h"

using namespace simtest;

namespace {

const Bytes kReadPrimaryAt0 = {255, 255, 255, 130, 255, 255, 255, 255, 0, 1, 0, 131};
const Bytes kUnitsAt0 = {255, 255, 255, 130, 255, 255, 255, 255, 0, 44, 1, 0, 175};
const Bytes kUnitsAnswerAt0 = {255, 255, 255, 134, 255, 255, 255, 255, 0, 44, 1, 0, 0, 0, 171};

}  // namespace

class SimulatorLifecycleTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void replugPointsTheLinkAtANewTerminal();
    void endingRemovesTheLink_data();
    void endingRemovesTheLink();
    void linkNeverReplacesAFile();
    void logRecordsTheWire();
    void idleCostsNoTime();

private:
    QTemporaryDir dir_;
};

void SimulatorLifecycleTest::init() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    QVERIFY(dir_.isValid());
}

void SimulatorLifecycleTest::replugPointsTheLinkAtANewTerminal() {
    const QString link = dir_.filePath(QStringLiteral("modem"));
    SimulatorProcess simulator({"--link", link});
    QVERIFY(simulator.Started());
    QCOMPARE(QFileInfo(link).symLinkTarget(), simulator.SlavePath());

    SlavePort before(link);
    // What is written survives the replug: transmitter 0 moves to address 20.
    before.Send({255, 255, 255, 130, 255, 255, 255, 255, 0, 6, 1, 20, 145});
    QCOMPARE(before.ReadAnswer(), testframes::Response(0, 6, {20}));

    QCOMPARE(simulator.Control(QStringLiteral("replug 200")), QStringLiteral("ok replug 200"));
    QVERIFY(before.WaitHangUp());
    const QString announced = simulator.NextLine();
    QVERIFY(announced.startsWith(QLatin1String("slave: /dev/")));
    QCOMPARE(QFileInfo(link).symLinkTarget(), announced.mid(7));

    SlavePort after(link);
    QVERIFY(after.IsOpen());
    after.Send({255, 255, 255, 130, 255, 255, 255, 255, 20, 44, 1, 0, 187});
    QCOMPARE(after.ReadAnswer(), testframes::Response(20, 44, {0}));
}

void SimulatorLifecycleTest::endingRemovesTheLink_data() {
    QTest::addColumn<bool>("bySignal");
    QTest::newRow("quit") << false;
    QTest::newRow("SIGTERM") << true;
}

void SimulatorLifecycleTest::endingRemovesTheLink() {
    QFETCH(bool, bySignal);
    const QString link = dir_.filePath(QStringLiteral("ending"));
    SimulatorProcess simulator({"--link", link});
    QVERIFY(simulator.Started());
    QVERIFY(QFileInfo(link).isSymLink());

    if (bySignal) {
        simulator.Process().terminate();
    } else {
        QCOMPARE(simulator.Control(QStringLiteral("quit")), QStringLiteral("ok quit"));
    }
    QVERIFY(simulator.Process().waitForFinished(static_cast<int>(kPatience.count())));
    QCOMPARE(simulator.Process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(simulator.Process().exitCode(), 0);
    QVERIFY(!QFileInfo(link).exists() && !QFileInfo(link).isSymLink());
}

void SimulatorLifecycleTest::linkNeverReplacesAFile() {
    const QString path = dir_.filePath(QStringLiteral("notes.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();

    SimulatorProcess simulator({"--link", path});
    QVERIFY(!simulator.Started());
    QTRY_COMPARE_WITH_TIMEOUT(simulator.Process().state(), QProcess::NotRunning,
                              static_cast<int>(kPatience.count()));
    QVERIFY(simulator.Process().exitCode() != 0);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void SimulatorLifecycleTest::logRecordsTheWire() {
    const QString logPath = dir_.filePath(QStringLiteral("wire.log"));
    SimulatorProcess simulator({"--log", logPath});
    QVERIFY(simulator.Started());
    // The end of its control input leaves the simulator running.
    simulator.Process().closeWriteChannel();
    SlavePort port(simulator.SlavePath());

    port.Send({1, 2, 3});
    port.Send({255, 255, 255, 130, 255, 255, 255, 255, 0, 44, 1, 0, 174});  // wrong checksum
    port.Send(kReadPrimaryAt0);
    const Bytes answer = port.ReadAnswer();
    QCOMPARE(LayoutProblem(answer), QString());
    port.Send(kUnitsAt0);
    QCOMPARE(port.ReadAnswer(), kUnitsAnswerAt0);

    QStringList expected = {
        QStringLiteral("rx-garbage 1 2 3"),
        QStringLiteral("rx-badsum 255 255 255 130 255 255 255 255 0 44 1 0 174"),
        QStringLiteral("rx-garbage 255 255 255 255 0 44 1 0 174"),
        QStringLiteral("rx 255 255 255 130 255 255 255 255 0 1 0 131"),
        QStringLiteral("tx ") + DecimalText(answer),
        QStringLiteral("rx 255 255 255 130 255 255 255 255 0 44 1 0 175"),
        QStringLiteral("tx ") + DecimalText(kUnitsAnswerAt0),
    };
    // The simulator has written its last line before it sent the last answer.
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(log.readAll()).split('\n', Qt::SkipEmptyParts);
    const QRegularExpression shape(QStringLiteral("^(\\d+\\.\\d{3}) (.*)$"));
    QStringList wire;
    double last = 0.0;
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = shape.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        QVERIFY(match.captured(1).toDouble() >= last);
        last = match.captured(1).toDouble();
        if (match.captured(2).startsWith(QLatin1String("rx")) ||
            match.captured(2).startsWith(QLatin1String("tx"))) {
            wire << match.captured(2);
        }
    }
    QCOMPARE(wire, expected);
    QCOMPARE(simulator.Process().state(), QProcess::Running);
}

void SimulatorLifecycleTest::idleCostsNoTime() {
    // Nobody holds the slave open here, the case in which a careless wait would spin.
    SimulatorProcess simulator;
    QVERIFY(simulator.Started());
    const int pid = static_cast<int>(simulator.Process().processId());
    const auto before = procstats::ProcessCpuTime(pid);
    QVERIFY(before.count() >= 0);
    QTest::qWait(1000);  // the span measured, not a wait for an event
    QVERIFY2(procstats::ProcessCpuTime(pid) - before < std::chrono::milliseconds(100),
             "more than a tenth of a second of CPU in one idle second");
}

QTEST_GUILESS_MAIN(SimulatorLifecycleTest)
#include "simulator_lifecycle_test.moc"
