// Request frames on the wire: the worked frames byte for byte, their trace, and RTS held until
// the last byte has left the port and at least 20 ms after the trace.

#include <QTest>
#include <memory>

#include "hart/frame_sender.h"
#include "serial/ser_comm.h"
#include "tests/support/fake_serial_device.h"
#include "ui/trace_memo.h"
#include "ui/ui_thread_calls.h"
#include "tests/support/warnings.h"

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
        port.SetDeviceName("COM1");
        if (open) {
            port.Open();
        }
    }
    void Send(std::uint8_t address, std::uint8_t command, const Bytes& data) {
        request.PollAddress = address;
        request.TxCommand = command;
        request.TxByteCount = static_cast<std::uint8_t>(data.size());
        std::copy(data.begin(), data.end(), request.TxFrame.begin() + 11);
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
    void traceOfAFrameWithoutData();
    void rtsWrapsTheFrame();
    void rtsHeldUntilALongFrameHasLeft();
    void closedPortStillTraces();
    void refusedByteDropsRts();
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
                                 << Bytes{255, 255, 255, 130, 255, 255, 255, 255, 255, 1, 0, 131 ^ 255};
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
    QCOMPARE(s.request.TxFrame[9], command);
    QCOMPARE(s.request.TxFrame[10], static_cast<std::uint8_t>(data.size()));
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

void FrameSenderTest::traceOfAFrameWithoutData() {
    Sender s;
    s.Send(0, 1, {});
    const QStringList trace = s.Trace();
    QCOMPARE(trace.size(), 8);
    QCOMPARE(trace[5], QStringLiteral("Размер переданных байт: 0"));
    QCOMPARE(trace[6], QStringLiteral("Данные: "));
    QCOMPARE(trace[7], QStringLiteral("Контрольная сумма: 131"));
}

void FrameSenderTest::rtsWrapsTheFrame() {
    Sender s;
    const auto begin = std::chrono::steady_clock::now();
    s.Send(1, 1, {});
    const auto records = s.RtsAndWrites();
    QVERIFY(records.size() >= 3);
    QCOMPARE(records.front().kind, Kind::Rts);
    QVERIFY(records.front().on);
    QCOMPARE(records.back().kind, Kind::Rts);
    QVERIFY(!records.back().on);
    QVERIFY(!s.line->Rts());
    // Held at least the fixed 20 ms (the trace comes after the writes were queued).
    QVERIFY(records.back().time - begin >= hart::FrameSender::kRtsHold);
    for (std::size_t i = 1; i + 1 < records.size(); ++i) {
        QCOMPARE(records[i].kind, Kind::Write);
    }
}

void FrameSenderTest::rtsHeldUntilALongFrameHasLeft() {
    // A 31-byte request takes 32 ms at 9600 bit/s, longer than the fixed hold.
    Sender s;
    s.line->SetByteTime(1042us);
    s.Send(3, 33, Bytes(19, 0));
    const auto records = s.RtsAndWrites();
    auto lastWrite = records.front().time;
    std::size_t written = 0;
    for (const auto& record : records) {
        if (record.kind == Kind::Write) {
            lastWrite = record.time;
            written += record.bytes.size();
        }
    }
    QCOMPARE(written, 31u);
    QCOMPARE(records.back().kind, Kind::Rts);
    QVERIFY(!records.back().on);
    QVERIFY2(records.back().time >= lastWrite, "RTS dropped while bytes were still leaving");
    QVERIFY(records.back().time - records.front().time >= 31 * 1042us);
}

void FrameSenderTest::closedPortStillTraces() {
    Sender s(false);
    s.Send(2, 1, {});
    QCOMPARE(s.Trace().size(), 8);
    QVERIFY(s.line->Written().empty());
}

void FrameSenderTest::refusedByteDropsRts() {
    // The writer cannot get rid of its bytes: once its buffer is full, a byte is refused after a
    // second, and RTS must not stay raised (it would keep the modem transmitting).
    Sender s;
    s.line->SetWritesStuck(true);
    const Bytes filler(s.port.Buffers().WriteSize(), 0);
    QCOMPARE(s.port.WriteBuf(filler.data(), static_cast<int>(filler.size())),
             static_cast<int>(filler.size()));
    try {
        s.Send(1, 1, {});
        QFAIL("the full buffer took the frame");
    } catch (const ser::ESerCommError& error) {
        QCOMPARE(QString::fromUtf8(error.what()),
                 QStringLiteral("Output buffer is full. Please check comm status."));
    }
    QVERIFY(!s.line->Rts());
    QVERIFY(s.memo.toPlainText().isEmpty());
}

QTEST_MAIN(FrameSenderTest)
#include "frame_sender_test.moc"
