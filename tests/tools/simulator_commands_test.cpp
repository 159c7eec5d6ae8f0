// The simulator answers each command with the right layout, plausible live values, and keeps
// what is written to a transmitter; and it tells each transmitter's identity in the standard
// frames.

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <memory>

#include "hart/standard_frames.h"
#include "tests/support/sim_client.h"
#include "tests/support/test_frames.h"

using namespace simtest;

namespace {

const Bytes kReadPrimaryAt0 = {255, 255, 255, 130, 255, 255, 255, 255, 0, 1, 0, 131};
const Bytes kReadPrimaryAt1 = {255, 255, 255, 130, 255, 255, 255, 255, 1, 1, 0, 130};
const Bytes kReadPrimaryAt2 = {255, 255, 255, 130, 255, 255, 255, 255, 2, 1, 0, 129};
const Bytes kReadCurrentAt1 = {255, 255, 255, 130, 255, 255, 255, 255, 1, 3, 0, 128};
const Bytes kReadCurrentAt8 = {255, 255, 255, 130, 255, 255, 255, 255, 8, 3, 0, 137};
// Command 33 asking for the upper and lower limit, the gauge temperature and the damping.
const Bytes kReadLimitsAt1 = {255, 255, 255, 130, 255, 255, 255, 255, 1, 33, 19,  // header
                              7,   0,   0,   0,   0,   0,   8,   0,   0, 0,  0,
                              0,   5,   0,   0,   0,   0,   0,   6,  // codes
                              189};

constexpr float kKgfPerKpa = 1.0f / 98.0665f;

// Transmitter 4 told apart from the default ones: HART revision 7, seven preambles.
const QStringList kIdentityOf4 = {
    "--identity",      "4", "0x1234", "0x2345",      "0xABCDEF", "FT-101",
    "--hart-revision", "4", "7",      "--preambles", "4",        "7"};
// The long-frame address of transmitter 3 by default (manufacturer 0xFA, device type 1, device
// ID 0x100003) and of transmitter 4 above (expanded device type 0x2345), master bit set.
const Bytes kUniqueAddressOf3 = {0x80 | 0x3A, 0x01, 0x10, 0x00, 0x03};
const Bytes kUniqueAddressOf4 = {0x80 | 0x23, 0x45, 0xAB, 0xCD, 0xEF};

// The answers of command 0 at 3 (defaults) and at 4 (kIdentityOf4), and of command 13 at 4.
const Bytes kRevision5At3 = {
    254,                  // expansion
    0xFA, 0x01,           // manufacturer, device type
    5,    5,              // preambles asked, HART revision
    1,    1,    0x08, 0,  // device, software and hardware revision (signalling 0), flags
    0x10, 0x00, 0x03,     // device ID
};
const Bytes kRevision7At4 = {
    254,                  // expansion
    0x23, 0x45,           // expanded device type
    7,    7,              // preambles asked, HART revision
    1,    1,    0x08, 0,  // device, software and hardware revision (signalling 0), flags
    0xAB, 0xCD, 0xEF,     // device ID
    7,    9,              // preambles sent, device variables
    0,    0,    0,        // configuration changes, extended device status
    0x12, 0x34,           // manufacturer
    0x12, 0x34,           // private label distributor
    1,                    // profile: process automation
};
const Bytes kTagDescriptorDateOf4 = {
    0x19, 0x4B, 0x71, 0xC3, 0x18, 0x20,                                      // "FT-101  " packed
    0x51, 0x20, 0x4E, 0x4C, 0xD2, 0x54, 0x50, 0x54, 0xA0, 0xD2, 0x08, 0x20,  // "TRANSMITTER 4   "
    5,    5,    124,                                                         // 5 May 2024
};

// One standard answer as the program's reader finds it, and the preambles before it.
struct StandardAnswer {
    std::size_t preambles = 0;
    hart::standard::Answer frame;
};

StandardAnswer ReadStandardAnswer(SlavePort& port) {
    hart::standard::AnswerReader reader;
    std::size_t read = 0;
    for (Bytes byte = port.Read(1); !byte.empty(); byte = port.Read(1)) {
        ++read;
        if (auto answers = reader.Feed(byte); !answers.empty()) {
            return {read - answers.front().frame.size(), std::move(answers.front())};
        }
    }
    return {};
}

}  // namespace

class SimulatorCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void answerLayout_data();
    void answerLayout();
    void liveValuesArePlausible();
    void addressChangeMovesTheTransmitter();
    void writtenValueReadsBack_data();
    void writtenValueReadsBack();
    void fixedCurrentReplacesTheLoopCurrent();
    void unitsConvertThePressure();
    void correctionsMoveTheReading_data();
    void correctionsMoveTheReading();
    void requestFraming_data();
    void requestFraming();
    void onlyConfiguredAddressesAnswer();
    void standardFramesTellTheIdentity_data();
    void standardFramesTellTheIdentity();
    void framesForNoTransmitterAreIgnored();
    void badIdentityOptionsAreRefused_data();
    void badIdentityOptionsAreRefused();

private:
    void Restart(const QStringList& arguments);
    Bytes Exchange(const Bytes& request);

    std::unique_ptr<SimulatorProcess> simulator_;
    std::unique_ptr<SlavePort> port_;
};

void SimulatorCommandsTest::init() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    Restart({});
}

void SimulatorCommandsTest::cleanup() {
    port_.reset();
    simulator_.reset();
}

void SimulatorCommandsTest::Restart(const QStringList& arguments) {
    cleanup();
    simulator_ = std::make_unique<SimulatorProcess>(arguments);
    QVERIFY(simulator_->Started());
    port_ = std::make_unique<SlavePort>(simulator_->SlavePath());
    QVERIFY(port_->IsOpen());
}

Bytes SimulatorCommandsTest::Exchange(const Bytes& request) {
    port_->Send(request);
    return port_->ReadAnswer();
}

void SimulatorCommandsTest::answerLayout_data() {
    QTest::addColumn<Bytes>("request");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("status");

    QTest::newRow("1 primary variable") << kReadPrimaryAt0 << 0 << 1 << 5 << 0;
    QTest::newRow("3 current and four variables") << kReadCurrentAt1 << 1 << 3 << 20 << 0;
    QTest::newRow("33 device variables")
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 2, 33, 19,  // header
                 0,   0,   0,   0,   0,   0,   1,   0,   0, 0,  0,
                 0,   2,   0,   0,   0,   0,   0,   4,  // codes
                 181}
        << 2 << 33 << 24 << 0;
    QTest::newRow("34 damping") << Bytes{255, 255, 255, 130, 255, 255, 255, 255,
                                         5,   34,  4,   65,  32,  0,   0,   192}
                                << 5 << 34 << 4 << 0;
    QTest::newRow("35 range") << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 4, 35, 9,
                                       0,   63,  128, 0,   0,   0,   0,   0,   0, 19}
                              << 4 << 35 << 9 << 0;
    QTest::newRow("36 range correction")
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 6, 36, 0, 160} << 6 << 36 << 0 << 0;
    QTest::newRow("37 zero correction")
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 7, 37, 0, 160} << 7 << 37 << 0 << 0;
    QTest::newRow("40 fixed current")
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 8, 40, 4, 64, 128, 0, 0, 102} << 8 << 40
        << 4 << 0;
    QTest::newRow("44 units") << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 9, 44, 1, 2, 164}
                              << 9 << 44 << 1 << 0;
    QTest::newRow("6 poll address")
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 10, 6, 1, 3, 140} << 10 << 6 << 1 << 0;
    QTest::newRow("48 not implemented")
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 0, 48, 0, 178} << 0 << 48 << 0 << 64;
    QTest::newRow("34 with two data bytes")
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 5, 34, 2, 65, 32, 198} << 5 << 34 << 0
        << 5;
    QTest::newRow("44 with an unknown unit")
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 9, 44, 1, 3, 165} << 9 << 44 << 0 << 2;
}

void SimulatorCommandsTest::answerLayout() {
    QFETCH(Bytes, request);
    QFETCH(int, address);
    QFETCH(int, command);
    QFETCH(int, count);
    QFETCH(int, status);

    const Bytes answer = Exchange(request);
    QCOMPARE(LayoutProblem(answer), QString());
    QCOMPARE(answer[kAddressAt], address);
    QCOMPARE(answer[kCommandAt], command);
    QCOMPARE(answer[kCountAt], count);
    QCOMPARE(answer[kStatusAt], status);
    QCOMPARE(answer[kStatusAt + 1], 0);
}

void SimulatorCommandsTest::liveValuesArePlausible() {
    const Bytes limits = Exchange(kReadLimitsAt1);
    QCOMPARE(LayoutProblem(limits), QString());
    const Bytes codes = {limits[kDataAt], limits[kDataAt + 6], limits[kDataAt + 12],
                         limits[kDataAt + 18]};
    QCOMPARE(codes, (Bytes{7, 8, 5, 6}));
    const Bytes units = {limits[kDataAt + 1], limits[kDataAt + 7], limits[kDataAt + 13],
                         limits[kDataAt + 19]};
    QCOMPARE(units, (Bytes{0, 0, 32, 51}));  // kgf/cm2 twice, degrees Celsius, seconds
    const float upper = DataFloat(limits, 2);
    const float lower = DataFloat(limits, 8);
    QVERIFY(upper > lower);
    QVERIFY(DataFloat(limits, 14) > 18.0f && DataFloat(limits, 14) < 30.0f);

    const Bytes reading = Exchange(kReadCurrentAt1);
    QCOMPARE(LayoutProblem(reading), QString());
    const float current = DataFloat(reading, 0);
    const float pressure = DataFloat(reading, 4);
    const float um = DataFloat(reading, 8);
    const float udif = DataFloat(reading, 12);
    const float celsius = DataFloat(reading, 16);
    QVERIFY2(pressure >= lower && pressure <= upper, qPrintable(QString::number(pressure)));
    QVERIFY(std::abs(current - (4.0f + 16.0f * (pressure - lower) / (upper - lower))) < 0.01f);
    QCOMPARE(um, std::round(um));
    QCOMPARE(udif, std::round(udif));
    QVERIFY(um > 0.0f && udif > 0.0f);
    QVERIFY(celsius > 20.0f && celsius < 30.0f);

    // Two transmitters do not read the same.
    const Bytes first = Exchange(kReadPrimaryAt1);
    const Bytes second = Exchange(kReadPrimaryAt2);
    QCOMPARE(first[kDataAt], 0);  // unit index
    QVERIFY(DataFloat(first, 1) != DataFloat(second, 1));
}

void SimulatorCommandsTest::addressChangeMovesTheTransmitter() {
    const Bytes moved = Exchange({255, 255, 255, 130, 255, 255, 255, 255, 3, 6, 1, 12, 138});
    QCOMPARE(moved, testframes::Response(3, 6, {12}));

    // The old address is silent now: the first answer is the one from the new address.
    port_->Send({255, 255, 255, 130, 255, 255, 255, 255, 3, 1, 0, 128});
    port_->Send({255, 255, 255, 130, 255, 255, 255, 255, 12, 1, 0, 143});
    const Bytes answer = port_->ReadAnswer();
    QCOMPARE(LayoutProblem(answer), QString());
    QCOMPARE(answer[kAddressAt], 12);
}

void SimulatorCommandsTest::writtenValueReadsBack_data() {
    QTest::addColumn<Bytes>("write");
    QTest::addColumn<Bytes>("written");
    QTest::addColumn<Bytes>("read");
    QTest::addColumn<QList<float>>("values");

    QTest::newRow("damping 10") << Bytes{255, 255, 255, 130, 255, 255, 255, 255,
                                         5,   34,  4,   65,  32,  0,   0,   192}
                                << Bytes{65, 32, 0, 0} << Bytes{255, 255, 255, 130, 255, 255, 255,
                                                                255, 5,   33,  19,  // header
                                                                6,   0,   0,   0,   0,   0,   6,
                                                                0,   0,   0,   0,   0,   6,   0,
                                                                0,   0,   0,   0,   6,  // codes
                                                                181}
                                << QList<float>{10.0f, 10.0f, 10.0f, 10.0f};
    QTest::newRow("range 1 to 0,5")
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 4, 35, 9,
                 0,   63,  128, 0,   0,   63,  0,   0,   0, 44}
        << Bytes{0, 63, 128, 0, 0, 63, 0, 0, 0}
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 4, 33, 19,  // header
                 7,   0,   0,   0,   0,   0,   8,   0,   0, 0,  0,
                 0,   7,   0,   0,   0,   0,   0,   8,  // codes
                 180}
        << QList<float>{1.0f, 0.5f, 1.0f, 0.5f};
}

void SimulatorCommandsTest::writtenValueReadsBack() {
    QFETCH(Bytes, write);
    QFETCH(Bytes, written);
    QFETCH(Bytes, read);
    QFETCH(QList<float>, values);

    const Bytes confirmation = Exchange(write);
    QCOMPARE(LayoutProblem(confirmation), QString());
    QCOMPARE(Bytes(confirmation.begin() + kDataAt, confirmation.end() - 1), written);

    const Bytes answer = Exchange(read);
    QCOMPARE(LayoutProblem(answer), QString());
    for (qsizetype group = 0; group < values.size(); ++group) {
        QCOMPARE(DataFloat(answer, 6 * group + 2), values[group]);
    }
}

void SimulatorCommandsTest::fixedCurrentReplacesTheLoopCurrent() {
    const Bytes fixed =
        Exchange({255, 255, 255, 130, 255, 255, 255, 255, 8, 40, 4, 65, 72, 0, 0, 175});
    QCOMPARE(fixed, testframes::Response(8, 40, {65, 72, 0, 0}));
    QCOMPARE(DataFloat(Exchange(kReadCurrentAt8), 0), 12.5f);

    // A negative zero ends the mode as well; the answer reports plain zero.
    const Bytes ended =
        Exchange({255, 255, 255, 130, 255, 255, 255, 255, 8, 40, 4, 128, 0, 0, 0, 38});
    QCOMPARE(ended, testframes::Response(8, 40, {0, 0, 0, 0}));
    const float current = DataFloat(Exchange(kReadCurrentAt8), 0);
    QVERIFY(current != 12.5f && current >= 3.8f && current <= 20.5f);
}

void SimulatorCommandsTest::unitsConvertThePressure() {
    const float kgf = DataFloat(Exchange(kReadPrimaryAt0), 1);
    QCOMPARE(Exchange({255, 255, 255, 130, 255, 255, 255, 255, 0, 44, 1, 2, 173}),
             testframes::Response(0, 44, {2}));
    const Bytes answer = Exchange(kReadPrimaryAt0);
    QCOMPARE(answer[kDataAt], 2);
    const float kpa = DataFloat(answer, 1);
    QVERIFY2(std::abs(kpa * kKgfPerKpa - kgf) < 0.05f,
             qPrintable(QStringLiteral("%1 kPa, %2 kgf/cm2").arg(kpa).arg(kgf)));
}

void SimulatorCommandsTest::correctionsMoveTheReading_data() {
    QTest::addColumn<Bytes>("correction");
    QTest::addColumn<float>("reading");

    QTest::newRow("zero") << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 1, 37, 0, 166} << 0.0f;
    QTest::newRow("range") << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 1, 36, 0, 167}
                           << 1.6f;  // the upper range value
}

void SimulatorCommandsTest::correctionsMoveTheReading() {
    QFETCH(Bytes, correction);
    QFETCH(float, reading);

    const Bytes done = Exchange(correction);
    QCOMPARE(LayoutProblem(done), QString());
    QCOMPARE(done[kCountAt], 0);
    QCOMPARE(done[kStatusAt], 0);
    const float pressure = DataFloat(Exchange(kReadPrimaryAt1), 1);
    QVERIFY2(std::abs(pressure - reading) < 0.05f, qPrintable(QString::number(pressure)));
}

void SimulatorCommandsTest::requestFraming_data() {
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<int>("address");

    QTest::newRow("two preambles") << Bytes{255, 255, 130, 255, 255, 255, 255, 2, 1, 0, 129} << 2;
    QTest::newRow("five preambles")
        << Bytes{255, 255, 255, 255, 255, 130, 255, 255, 255, 255, 2, 1, 0, 129} << 2;
    QTest::newRow("garbage first")
        << Bytes{7, 130, 1, 255, 130, 255, 255, 255, 130, 255, 255, 255, 255, 2, 1, 0, 129} << 2;
    QTest::newRow("wrong checksum ignored")
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 1, 1, 0, 131,  // 130 would be right
                 255, 255, 255, 130, 255, 255, 255, 255, 2, 1, 0, 129}
        << 2;
    QTest::newRow("other addressing ignored")
        << Bytes{255, 255, 255, 130, 1,   2,   3,   4,   1, 1, 0, 134,
                 255, 255, 255, 130, 255, 255, 255, 255, 2, 1, 0, 129}
        << 2;
    // A broken frame whose count promises 40 bytes swallows the next request, which is found
    // again once the line stays quiet.
    QTest::newRow("swallowed by a broken frame")
        << Bytes{255, 255, 130, 255, 255, 255, 255, 1, 1, 40, 255,
                 255, 255, 130, 255, 255, 255, 255, 2, 1, 0,  129}
        << 2;
}

void SimulatorCommandsTest::requestFraming() {
    QFETCH(Bytes, bytes);
    QFETCH(int, address);

    const Bytes answer = Exchange(bytes);
    QCOMPARE(LayoutProblem(answer), QString());
    QCOMPARE(answer[kAddressAt], address);
    QCOMPARE(answer[kCommandAt], 1);
}

void SimulatorCommandsTest::onlyConfiguredAddressesAnswer() {
    Restart({"--addresses", "0,3,7"});

    port_->Send(kReadPrimaryAt1);
    const Bytes answer = Exchange({255, 255, 255, 130, 255, 255, 255, 255, 3, 1, 0, 128});
    QCOMPARE(LayoutProblem(answer), QString());
    QCOMPARE(answer[kAddressAt], 3);
}

void SimulatorCommandsTest::standardFramesTellTheIdentity_data() {
    QTest::addColumn<Bytes>("request");
    QTest::addColumn<int>("preambles");
    QTest::addColumn<Bytes>("address");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("status");
    QTest::addColumn<Bytes>("data");

    QTest::newRow("short 0, revision 5") << Bytes{255, 255, 255, 255, 255, 2, 0x83, 0, 0, 0x81} << 5
                                         << Bytes{0x83} << 0 << 0 << kRevision5At3;
    QTest::newRow("short 0, revision 7") << Bytes{255, 255, 255, 255, 255, 2, 0x84, 0, 0, 0x86} << 7
                                         << Bytes{0x84} << 0 << 0 << kRevision7At4;
    QTest::newRow("long 0") << Bytes{255, 255, 130, 0xBA, 0x01, 0x10, 0x00, 0x03, 0, 0, 0x2A} << 5
                            << kUniqueAddressOf3 << 0 << 0 << kRevision5At3;
    QTest::newRow("long 13") << Bytes{255, 255, 130, 0xA3, 0x45, 0xAB, 0xCD, 0xEF, 13, 0, 0xE0} << 7
                             << kUniqueAddressOf4 << 13 << 0 << kTagDescriptorDateOf4;
    QTest::newRow("long 48 not implemented")
        << Bytes{255, 255, 130, 0xA3, 0x45, 0xAB, 0xCD, 0xEF, 48, 0, 0xDD} << 7 << kUniqueAddressOf4
        << 48 << 64 << Bytes{};
}

void SimulatorCommandsTest::standardFramesTellTheIdentity() {
    QFETCH(Bytes, request);
    QFETCH(int, preambles);
    QFETCH(Bytes, address);
    QFETCH(int, command);
    QFETCH(int, status);
    QFETCH(Bytes, data);

    Restart(kIdentityOf4);
    port_->Send(request);
    const StandardAnswer answer = ReadStandardAnswer(*port_);
    QVERIFY(answer.frame.checksumGood);
    QCOMPARE(answer.preambles, std::size_t(preambles));
    QCOMPARE(answer.frame.address, address);
    QCOMPARE(int(answer.frame.command), command);
    QCOMPARE(int(answer.frame.responseCode), status);
    QCOMPARE(int(answer.frame.deviceStatus), 0);
    QCOMPARE(answer.frame.data, data);
}

void SimulatorCommandsTest::framesForNoTransmitterAreIgnored() {
    port_->Send({255, 255, 130, 0xBA, 0x01, 0x10, 0x00, 0x63, 0, 0, 0x4A});  // device ID 0x100063
    port_->Send({255, 255, 255, 255, 255, 2, 0x83, 1, 0, 0x80});  // a short frame carries only 0
    port_->Send({255, 255, 255, 255, 255, 2, 0x03, 0, 0, 0x01});  // no primary master
    port_->Send({255, 255, 130, 0xBA, 0x01, 0x10, 0x00, 0x03, 0, 0, 0x2A});
    QCOMPARE(ReadStandardAnswer(*port_).frame.address, kUniqueAddressOf3);
}

void SimulatorCommandsTest::badIdentityOptionsAreRefused_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("lower-case tag") << QStringList{"--identity", "3", "1", "2", "3", "pt-3"};
    QTest::newRow("tag of nine") << QStringList{"--identity", "3", "1", "2", "3", "ABCDEFGHI"};
    QTest::newRow("no tag") << QStringList{"--identity", "3", "1", "2", "3"};
    QTest::newRow("device ID over 24 bits")
        << QStringList{"--identity", "3", "1", "2", "0x1000000", "PT"};
    QTest::newRow("bad hexadecimal") << QStringList{"--identity", "3", "0xZ", "2", "3", "PT"};
    QTest::newRow("two-byte type under revision 5")
        << QStringList{"--identity", "3", "1", "0x100", "3", "PT"};
    QTest::newRow("revision 6") << QStringList{"--hart-revision", "3", "6"};
    QTest::newRow("one preamble") << QStringList{"--preambles", "3", "1"};
    QTest::newRow("21 preambles") << QStringList{"--preambles", "3", "21"};
    QTest::newRow("refuse command 256") << QStringList{"--refuse", "3", "256"};
}

void SimulatorCommandsTest::badIdentityOptionsAreRefused() {
    QFETCH(QStringList, arguments);
    cleanup();
    QProcess simulator;
    simulator.start(QStringLiteral(TENSOVIA_SIM_PATH), arguments);
    QVERIFY(simulator.waitForFinished(static_cast<int>(kPatience.count())));
    QCOMPARE(simulator.exitCode(), 2);
    QVERIFY(simulator.readAllStandardError().startsWith("tensovia-sim: "));
}

QTEST_GUILESS_MAIN(SimulatorCommandsTest)
#include "simulator_commands_test.moc"
