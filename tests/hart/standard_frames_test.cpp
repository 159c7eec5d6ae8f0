// HART's standard frames: requests written out by hand, answers found among preambles and noise
// however they arrive, and what the identity and tag commands carry. Packed ASCII is checked
// against the simulator's encoder, written independently.

#include <QTest>
#include <stdexcept>

#include "hart/device_identity.h"
#include "hart/standard_frames.h"
#include "tests/support/warnings.h"
#include "tools/simulator/packed_ascii.h"

namespace standard = hart::standard;
using standard::Bytes;

namespace {

Bytes Preambles(std::size_t count) {
    return Bytes(count, 0xFF);
}

Bytes operator+(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Command 0's answer from poll address 5: response code 0, status "configuration changed", four
// data bytes.
const Bytes kShortAnswer{6, 133, 0, 6, 0, 0x40, 170, 187, 1, 2, 215};
// Command 13's answer from a unique address: response code 32 (busy) and no data.
const Bytes kLongAnswer{134, 166, 11, 18, 52, 86, 13, 2, 32, 0, 116};

void CheckShortAnswer(const standard::Answer& answer) {
    QCOMPARE(answer.frame, kShortAnswer);
    QVERIFY(answer.checksumGood);
    QCOMPARE(answer.address, Bytes{133});
    QCOMPARE(answer.command, 0);
    QCOMPARE(answer.byteCount, 6);
    QCOMPARE(answer.responseCode, 0);
    QCOMPARE(answer.deviceStatus, 0x40);
    QCOMPARE(answer.data, (Bytes{170, 187, 1, 2}));
}

Bytes TagData(const char* tag, const char* descriptor, const Bytes& date) {
    return sim::PackAscii(tag, 8) + sim::PackAscii(descriptor, 16) + date;
}

}  // namespace

class StandardFramesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void requests();
    void requestsRefused();
    void answerFound_data();
    void answerFound();
    void answersInOneFeed();
    void cutOffAnswerAndRestart();
    void identity_data();
    void identity();
    void identityRefused_data();
    void identityRefused();
    void packedAsciiRoundTrip_data();
    void packedAsciiRoundTrip();
    void tagDescriptorDate();
    void deviceStatusText();
};

void StandardFramesTest::requests() {
    // Command 0 to poll address 5; the poll address keeps its six bits only.
    const Bytes shortRequest{255, 255, 255, 255, 255, 2, 133, 0, 0, 135};
    QCOMPARE(standard::Request(standard::ShortAddress(5), 0), shortRequest);
    QCOMPARE(standard::Request(standard::ShortAddress(64 + 5), 0), shortRequest);
    // Command 13 to a unique address whose first byte carried master and burst bits.
    const Bytes longRequest{255, 255, 255, 255, 255, 130, 166, 11, 18, 52, 86, 13, 0, 82};
    const Bytes address = standard::LongAddress({0xE6, 11, 18, 52, 86});
    QCOMPARE(standard::Request(address, 13), longRequest);
    // The line forms are checked on the wire (frame_sender_test); here the long frame's parts.
    const QStringList trace = standard::TraceLines(longRequest);
    QCOMPARE(trace.size(), 8);
    QCOMPARE(trace[3], QStringLiteral("Адрес: 166 11 18 52 86"));
    QCOMPARE(trace[7], QStringLiteral("Контрольная сумма: 82"));
    const Bytes withData = standard::Request(address, 18, Bytes{1, 2, 3});
    QCOMPARE(standard::TraceLines(withData)[6], QStringLiteral("Данные:  1 2 3"));
}

void StandardFramesTest::requestsRefused() {
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, standard::Request(Bytes{1, 2, 3}, 0));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             standard::Request(standard::ShortAddress(1), 0, Bytes(256, 0)));
    // Cut off, or with bytes after the checksum.
    const Bytes request = standard::Request(standard::ShortAddress(1), 0);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             standard::TraceLines(std::span(request).first(request.size() - 1)));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, standard::TraceLines(request + Bytes{0}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, standard::TraceLines(Preambles(5)));
}

void StandardFramesTest::answerFound_data() {
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<int>("chunk");  // bytes a feed; 0: all at once
    QTest::newRow("2 preambles") << Preambles(2) + kShortAnswer << 0;
    QTest::newRow("20 preambles") << Preambles(20) + kShortAnswer << 0;
    // A delimiter after one preamble, a request's delimiter after two, a lone answer delimiter.
    QTest::newRow("noise before") << Bytes{0, 6, 255, 134, 17, 255, 255, 2, 133, 6} + Preambles(5) +
                                         kShortAnswer
                                  << 0;
    QTest::newRow("one byte at a time") << Preambles(5) + kShortAnswer << 1;
}

void StandardFramesTest::answerFound() {
    QFETCH(Bytes, bytes);
    QFETCH(int, chunk);
    standard::AnswerReader reader;
    std::vector<standard::Answer> answers;
    const std::span<const std::uint8_t> all(bytes);
    const std::size_t step = chunk == 0 ? all.size() : static_cast<std::size_t>(chunk);
    for (std::size_t at = 0; at < all.size(); at += step) {
        QVERIFY(answers.empty());
        for (auto& answer : reader.Feed(all.subspan(at, std::min(step, all.size() - at)))) {
            answers.push_back(std::move(answer));
        }
    }
    QCOMPARE(answers.size(), 1u);
    CheckShortAnswer(answers.front());
    QVERIFY(!reader.Partial());
}

void StandardFramesTest::answersInOneFeed() {
    standard::AnswerReader reader;
    // A wrong checksum still makes an answer, for the caller to judge.
    Bytes damaged = kShortAnswer;
    damaged[7] ^= 0x10;
    // A status byte missing from the last answer: the reader takes it as it is counted.
    const Bytes onlyResponseCode{6, 133, 0, 1, 64, 6 ^ 133 ^ 1 ^ 64};
    auto answers = reader.Feed(Preambles(5) + damaged + Preambles(5) + kShortAnswer + Preambles(2) +
                               kLongAnswer + Preambles(3) + onlyResponseCode + Preambles(2));
    QCOMPARE(answers.size(), 4u);
    QVERIFY(!answers[0].checksumGood);
    QCOMPARE(answers[0].frame, damaged);
    answers.erase(answers.begin());
    CheckShortAnswer(answers[0]);
    QCOMPARE(answers[1].address, (Bytes{166, 11, 18, 52, 86}));
    QCOMPARE(answers[1].command, 13);
    QCOMPARE(answers[1].responseCode, 32);
    QCOMPARE(answers[1].deviceStatus, 0);
    QVERIFY(answers[1].data.empty());
    QVERIFY(answers[1].checksumGood);
    QCOMPARE(answers[2].responseCode, 64);
    QCOMPARE(answers[2].deviceStatus, 0);
    QVERIFY(answers[2].data.empty());
    QVERIFY(answers[2].checksumGood);
}

void StandardFramesTest::cutOffAnswerAndRestart() {
    standard::AnswerReader reader;
    QVERIFY(reader.Feed(Preambles(5)).empty());
    QVERIFY(!reader.Partial());
    const std::span<const std::uint8_t> answer(kLongAnswer);
    QVERIFY(reader.Feed(answer.first(1)).empty());
    QVERIFY(reader.Partial());
    QVERIFY(reader.Feed(answer.subspan(1, answer.size() - 2)).empty());
    QVERIFY(reader.Partial());
    // The cut-off answer's checksum arrives after a restart, then a whole answer: only the whole
    // one is found.
    reader.Restart();
    QVERIFY(!reader.Partial());
    const auto answers = reader.Feed(Bytes{kLongAnswer.back()} + Preambles(2) + kShortAnswer);
    QCOMPARE(answers.size(), 1u);
    CheckShortAnswer(answers.front());
    // Preambles seen before a restart count no more.
    reader.Feed(Preambles(2));
    reader.Restart();
    QVERIFY(reader.Feed(kShortAnswer).empty());
    QVERIFY(!reader.Partial());
}

void StandardFramesTest::identity_data() {
    QTest::addColumn<Bytes>("data");
    QTest::addColumn<int>("revision");
    QTest::addColumn<int>("manufacturer");
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<Bytes>("uniqueAddress");
    QTest::newRow("HART 5") << Bytes{254, 0x6B, 0x0B, 5, 5, 3, 2, 0x08, 0, 0x12, 0x34, 0x56} << 5
                            << 0x6B << 0x0B << Bytes{0x2B, 0x0B, 0x12, 0x34, 0x56};
    // Expanded device type, device ID, preambles back, variables, change counter, extended
    // status, manufacturer, distributor, profile.
    QTest::newRow("HART 7") << Bytes{254,  0xE1, 0x0B, 5,    7,    3, 2,    0x08, 0,    0x12, 0x34,
                                     0x56, 5,    4,    0x00, 0x07, 0, 0x60, 0x2A, 0x00, 0x2A, 0x01}
                            << 7 << 0x602A << 0xE10B << Bytes{0x21, 0x0B, 0x12, 0x34, 0x56};
}

void StandardFramesTest::identity() {
    QFETCH(Bytes, data);
    QFETCH(int, revision);
    QFETCH(int, manufacturer);
    QFETCH(int, deviceType);
    QFETCH(Bytes, uniqueAddress);
    const auto device = hart::DecodeIdentity(data);
    QVERIFY(device.has_value());
    QCOMPARE(device->universalRevision, revision);
    QCOMPARE(device->manufacturer, manufacturer);
    QCOMPARE(device->deviceType, deviceType);
    QCOMPARE(device->deviceId, 0x123456u);
    QCOMPARE(device->deviceRevision, 3);
    QCOMPARE(device->softwareRevision, 2);
    QCOMPARE(device->requestPreambles, 5);
    QCOMPARE(Bytes(device->uniqueAddress.begin(), device->uniqueAddress.end()), uniqueAddress);
}

void StandardFramesTest::identityRefused_data() {
    QTest::addColumn<Bytes>("data");
    QTest::newRow("empty") << Bytes{};
    QTest::newRow("11 bytes") << Bytes{254, 0x6B, 0x0B, 5, 5, 3, 2, 0x08, 0, 0x12, 0x34};
    QTest::newRow("not 254") << Bytes{0, 0x6B, 0x0B, 5, 5, 3, 2, 0x08, 0, 0x12, 0x34, 0x56};
    QTest::newRow("HART 7 in 21 bytes")
        << Bytes{254,  0xE1, 0x0B, 5, 7, 3, 2,    0x08, 0,    0x12, 0x34,
                 0x56, 5,    4,    0, 7, 0, 0x60, 0x2A, 0x00, 0x2A};
}

void StandardFramesTest::identityRefused() {
    QFETCH(Bytes, data);
    QVERIFY(!hart::DecodeIdentity(data).has_value());
}

void StandardFramesTest::packedAsciiRoundTrip_data() {
    QTest::addColumn<QString>("tag");
    // The 64 characters packed ASCII holds, eight to a tag.
    for (char first = ' '; first <= '_'; first += 8) {
        QString tag;
        for (char c = first; c < first + 8; ++c) {
            tag += QLatin1Char(c);
        }
        QTest::newRow(qPrintable(tag)) << tag;
    }
}

void StandardFramesTest::packedAsciiRoundTrip() {
    QFETCH(QString, tag);
    const Bytes packed = sim::PackAscii(tag.toStdString(), 8);
    QCOMPARE(hart::UnpackAscii(packed), tag);
}

void StandardFramesTest::tagDescriptorDate() {
    const auto decoded =
        hart::DecodeTagDescriptorDate(TagData("PT-101", "INLET PRESSURE", {14, 3, 124}));
    QVERIFY(decoded.has_value());
    QCOMPARE(decoded->tag, QStringLiteral("PT-101"));
    QCOMPARE(decoded->descriptor, QStringLiteral("INLET PRESSURE"));
    QCOMPARE(decoded->date, QDate(2024, 3, 14));
    // Blanks inside and before stay; a date never set is no date.
    const auto blank = hart::DecodeTagDescriptorDate(TagData(" A B", "", {0, 0, 0}));
    QVERIFY(blank.has_value());
    QCOMPARE(blank->tag, QStringLiteral(" A B"));
    QCOMPARE(blank->descriptor, QString());
    QVERIFY(!blank->date.isValid());
    const Bytes tooShort = TagData("PT-101", "", {14, 3});
    QVERIFY(!hart::DecodeTagDescriptorDate(tooShort).has_value());
}

void StandardFramesTest::deviceStatusText() {
    QCOMPARE(hart::DeviceStatusText(0), QStringLiteral("Норма"));
    QCOMPARE(hart::DeviceStatusText(0x41),
             QStringLiteral("Конфигурация изменена, Первичная переменная вне пределов"));
    QCOMPARE(hart::DeviceStatusText(0x84),
             QStringLiteral("Неисправность датчика, Ток в насыщении"));
}

QTEST_MAIN(StandardFramesTest)
#include "standard_frames_test.moc"
