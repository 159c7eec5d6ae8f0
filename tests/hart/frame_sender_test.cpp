// Request frames on the wire: the worked frames byte for byte, their trace, and RTS held until
// the last byte has left the port and at least 20 ms after the trace.

#include <QTest>
#include <cerrno>
#include <cstring>
#include <memory>

#include "hart/frame_layout.h"
#include "hart/frame_sender.h"
#include "hart/standard_frames.h"
#include "serial/ser_comm.h"
#include "serial_qt/ui_thread_calls.h"
#include "tests/support/fake_serial_device.h"
#include "tests/support/warnings.h"
#include "ui/trace_memo.h"

namespace frame = hart::frame;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = FakeSerialDevice::Record::Kind;
using namespace std::chrono_literals;

struct Sender {
    UiThreadCalls uiCalls;
    std::shared_ptr<FakeSerialDevice> line = std::make_shared<FakeSerialDevice>();
    ser::TSerComm port{ser::TSerEnvironment{uiCalls.SyncCall(), [](std::exception_ptr) {}, line}};
    hart::RequestState request;
    TraceMemo memo{1000};
    hart::FrameSender sender{request, port, memo};

    explicit Sender(bool open = true) {
        port.SetBaudrate(ser::br9600);
        port.SetDeviceName("COM1");
        if (open) {
            port.Open();
        }
    }
    void Send(std::uint8_t address, std::uint8_t command, const Bytes& data) {
        request.PollAddress = address;
        request.TxCommand = command;
        request.TxByteCount = static_cast<std::uint8_t>(data.size());
        std::copy(data.begin(), data.end(), request.TxFrame.begin() + frame::request::kDataAt);
        sender.SendFrame();
    }
    QStringList Trace() const { return memo.toPlainText().split(u'\n'); }
    std::vector<FakeSerialDevice::Record> RtsAndWrites() const {
        std::vector<FakeSerialDevice::Record> records;
        for (const auto& record : line->Records()) {
            if (record.kind == Kind::Rts || record.kind == Kind::Write) {
                records.push_back(record);
            }
        }
        return records;
    }
};

}  // namespace

class FrameSenderTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void workedFrames_data();
    void workedFrames();
    void traceOfAFrameWithData();
    void dataTooLongForTheFrameIsRefused();
    void closedPortStillTracesAFrameWithoutData();
    void rtsHeldWhileTheFrameIsOnTheWire_data();
    void rtsHeldWhileTheFrameIsOnTheWire();
    void standardShortFrame();
    void failureAfterRtsStillDropsIt_data();
    void failureAfterRtsStillDropsIt();
};

void FrameSenderTest::workedFrames_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("command");
    QTest::addColumn<Bytes>("data");
    QTest::addColumn<Bytes>("frame");
    QTest::newRow("command 1 to 0")
        << 0 << 1 << Bytes{} << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 0, 1, 0, 131};
    QTest::newRow("command 3 to 1")
        << 1 << 3 << Bytes{} << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 1, 3, 0, 128};
    QTest::newRow("command 34 to 5")
        << 5 << 34 << Bytes{65, 32, 0, 0}
        << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 5, 34, 4, 65, 32, 0, 0, 192};
    QTest::newRow("address 255") << 255 << 1 << Bytes{}
                                 << Bytes{255, 255, 255, 130, 255, 255,
                                          255, 255, 255, 1,   0,   131 ^ 255};
}

void FrameSenderTest::workedFrames() {
    QFETCH(int, address);
    QFETCH(int, command);
    QFETCH(Bytes, data);
    QFETCH(Bytes, frame);
    Sender s;
    s.Send(static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(command), data);
    QVERIFY(s.line->WaitForWritten(frame.size(), 5s));
    QCOMPARE(s.line->Written(), frame);
    QCOMPARE(s.request.Checksum, frame.back());
    QCOMPARE(s.request.TxFrame[frame::request::kCommandAt], command);
    QCOMPARE(s.request.TxFrame[frame::request::kByteCountAt],
             static_cast<std::uint8_t>(data.size()));
}

void FrameSenderTest::traceOfAFrameWithData() {
    Sender s;
    s.Send(7, 34, {65, 32, 0, 0});
    QCOMPARE(s.Trace(), (QStringList{
                            QStringLiteral("Передача началась"),
                            QStringLiteral("Преамбула: 255 255 255"),
                            QStringLiteral("Стартовый байт: 130"),
                            QStringLiteral("Адрес: 255 255 255 255 7"),
                            QStringLiteral("Команда: 34"),
                            QStringLiteral("Размер переданных байт: 4"),
                            QStringLiteral("Данные:  65 32 0 0"),
                            QStringLiteral("Контрольная сумма: 194"),
                        }));
}

void FrameSenderTest::dataTooLongForTheFrameIsRefused() {
    Sender s;
    QVERIFY_THROWS_EXCEPTION(std::length_error, s.Send(1, 1, Bytes(25, 0)));
    QVERIFY(s.RtsAndWrites().empty());
    QCOMPARE(s.Trace(), QStringList{QString()});
}

void FrameSenderTest::closedPortStillTracesAFrameWithoutData() {
    Sender s(false);
    s.Send(0, 1, {});
    const QStringList trace = s.Trace();
    QCOMPARE(trace.size(), 8);
    QCOMPARE(trace[5], QStringLiteral("Размер переданных байт: 0"));
    QCOMPARE(trace[6], QStringLiteral("Данные: "));
    QCOMPARE(trace[7], QStringLiteral("Контрольная сумма: 131"));
    QVERIFY(s.line->Written().empty());
}

void FrameSenderTest::rtsHeldWhileTheFrameIsOnTheWire_data() {
    QTest::addColumn<int>("dataBytes");
    QTest::addColumn<int>("byteTimeUs");
    // A USB adapter takes the whole frame at once and reports it sent while its own buffer
    // still holds it; a UART's driver reports the queue empty only when the last byte left.
    QTest::newRow("12 bytes, adapter") << 0 << 0;
    QTest::newRow("31 bytes, adapter") << 19 << 0;
    QTest::newRow("31 bytes, UART") << 19 << 1042;
}

void FrameSenderTest::rtsHeldWhileTheFrameIsOnTheWire() {
    QFETCH(int, dataBytes);
    QFETCH(int, byteTimeUs);
    Sender s;
    s.line->SetByteTime(std::chrono::microseconds(byteTimeUs));
    const auto begin = std::chrono::steady_clock::now();
    s.Send(3, 33, Bytes(static_cast<std::size_t>(dataBytes), 0));
    // RTS raised, the frame written, RTS dropped.
    const auto records = s.RtsAndWrites();
    QVERIFY(records.size() >= 3);
    QCOMPARE(records.front().kind, Kind::Rts);
    QVERIFY(records.front().on);
    QCOMPARE(records.back().kind, Kind::Rts);
    QVERIFY(!records.back().on);
    QVERIFY(!s.line->Rts());
    std::size_t written = 0;
    for (std::size_t i = 1; i + 1 < records.size(); ++i) {
        QCOMPARE(records[i].kind, Kind::Write);
        written += records[i].bytes.size();
    }
    const auto firstWrite = records[1].time;
    const auto lastWrite = records[records.size() - 2].time;
    QCOMPARE(written, static_cast<std::size_t>(dataBytes + 12));
    const auto held = records.back().time - firstWrite;
    qInfo("%zu-byte frame: RTS dropped %.1f ms after the first byte was handed over", written,
          std::chrono::duration<double, std::milli>(held).count());
    QVERIFY2(records.back().time >= lastWrite, "RTS dropped while bytes were still leaving");
    // Ten bits a byte at 9600 bit/s from the first hand-over, and the fixed 20 ms (the trace
    // comes after the writes were queued).
    QVERIFY(held >= written * 10 * 1'000'000us / 9600);
    QVERIFY(records.back().time - begin >= hart::FrameSender::kRtsHold);
}

void FrameSenderTest::standardShortFrame() {
    // It goes out through the same routine as the program's frames: only what differs is checked.
    Sender s;
    const Bytes request = hart::standard::Request(hart::standard::ShortAddress(5), 0);
    s.sender.SendStandard(request);
    QVERIFY(s.line->WaitForWritten(request.size(), 5s));
    QCOMPARE(s.line->Written(), request);
    const QStringList trace = s.Trace();
    QCOMPARE(trace.mid(2, 2),
             (QStringList{QStringLiteral("Стартовый байт: 2"), QStringLiteral("Адрес: 133")}));
    QCOMPARE(trace.last(), QStringLiteral("Контрольная сумма: 135"));
    // Bytes that are no whole request never raise RTS.
    const std::size_t records = s.RtsAndWrites().size();
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             s.sender.SendStandard(std::span(request).first(request.size() - 1)));
    QCOMPARE(s.RtsAndWrites().size(), records);
}

void FrameSenderTest::failureAfterRtsStillDropsIt_data() {
    QTest::addColumn<bool>("outputFull");
    QTest::addColumn<QString>("message");
    // The writer cannot get rid of its bytes: once its buffer is full, a frame is refused after
    // a second.
    QTest::newRow("output full") << true
                                 << QStringLiteral(
                                        "Output buffer is full. Please check comm status.");
    QTest::newRow("drain fails") << false
                                 << "Error calling comm function (22), " +
                                        QString::fromLatin1(std::strerror(EINVAL));
}

void FrameSenderTest::failureAfterRtsStillDropsIt() {
    QFETCH(bool, outputFull);
    QFETCH(QString, message);
    Sender s;
    if (outputFull) {
        s.line->SetWritesStuck(true);
        const Bytes filler(s.port.Buffers().WriteSize(), 0);
        QCOMPARE(s.port.WriteBuf(filler.data(), static_cast<int>(filler.size())),
                 static_cast<int>(filler.size()));
    } else {
        s.line->SetFailing(Kind::Drain, EINVAL);
    }
    try {
        s.Send(1, 1, {});
        QFAIL("the frame went out");
    } catch (const ser::ESerCommError& error) {
        QCOMPARE(QString::fromUtf8(error.what()), message);
    }
    // Left raised, RTS would keep the modem transmitting.
    QVERIFY(!s.line->Rts());
    QCOMPARE(s.memo.toPlainText().isEmpty(), outputFull);
}

QTEST_MAIN(FrameSenderTest)
#include "frame_sender_test.moc"
