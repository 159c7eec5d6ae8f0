// The component against the recording fake device: the order of what it asks of the device,
// its refusals, and the lifetimes of its threads around the user-interface thread.

#include <QRegularExpression>
#include <QTest>
#include <cerrno>
#include <cstring>

#include "serial/platform/device_path.h"
#include "tests/support/fake_serial_device.h"
#include "tests/support/serial_test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = FakeSerialDevice::Record::Kind;
using Clock = std::chrono::steady_clock;

QString ErrorText(const std::function<void()>& operation) {
    return QString::fromStdString(ErrorOf(operation));
}

std::vector<Kind> KindsOf(const std::vector<FakeSerialDevice::Record>& records) {
    std::vector<Kind> kinds;
    for (const auto& record : records) {
        kinds.push_back(record.kind);
    }
    return kinds;
}

}  // namespace

Q_DECLARE_METATYPE(FakeSerialDevice::Record::Kind)

class SerCommFakeTest : public QObject {
    Q_OBJECT

    std::shared_ptr<FakeSerialDevice> line_;
    std::unique_ptr<TestUiThread> ui_;
    std::unique_ptr<ser::TSerComm> comm_;

    void OpenComm() {
        comm_->SetDeviceName("COM1");
        comm_->Open();
    }

private slots:
    void init() {
        QTest::failOnWarning(QRegularExpression(".*"));
        qunsetenv("TENSOVIA_COM1");
        line_ = std::make_shared<FakeSerialDevice>();
        ui_ = std::make_unique<TestUiThread>();
        comm_ = std::make_unique<ser::TSerComm>(ui_->Environment(line_));
    }
    void cleanup() {
        comm_.reset();
        QVERIFY(!line_->IsOpen());
        QVERIFY(ui_->TakeReports().empty());
    }

    void displayNameAndDevicePath_data() {
        QTest::addColumn<QString>("deviceName");
        QTest::addColumn<int>("portNum");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("path");
        QTest::newRow("default name") << "\\\\.\\COM%d" << 3 << "\\\\.\\COM3"
                                      << "\\\\.\\COM3";
#ifdef _WIN32
        // The system's own names, in its device namespace, where COM10 and above need it.
        QTest::newRow("COM1") << "COM1" << 0 << "COM1"
                              << "\\\\.\\COM1";
        QTest::newRow("COM10") << "COM%d" << 10 << "COM10"
                               << "\\\\.\\COM10";
#else
        QTest::newRow("COM1") << "COM1" << 0 << "COM1"
                              << "/dev/ttyS0";
        QTest::newRow("COM10") << "COM%d" << 10 << "COM10"
                               << "/dev/ttyS9";
        QTest::newRow("COM0 is no port") << "COM0" << 0 << "COM0"
                                         << "COM0";
        QTest::newRow("leading zero") << "COM01" << 0 << "COM01"
                                      << "COM01";
        QTest::newRow("path") << "/dev/ttyUSB0" << 5 << "/dev/ttyUSB0"
                              << "/dev/ttyUSB0";
#endif
    }
    void displayNameAndDevicePath() {
        QFETCH(QString, deviceName);
        QFETCH(int, portNum);
        QFETCH(QString, displayName);
        QFETCH(QString, path);
        comm_->SetDeviceName(deviceName.toStdString());
        comm_->SetPortNum(portNum);
        QCOMPARE(QString::fromStdString(comm_->DisplayName()), displayName);
        QCOMPARE(QString::fromStdString(ser::platform::DevicePath(displayName.toStdString())),
                 path);
    }

    void environmentMapsAComPort() {
#ifdef _WIN32
        QSKIP("COM ports are the system's own names on Windows");
#endif
        qputenv("TENSOVIA_COM1", "/tmp/modem");
        QCOMPARE(ser::platform::DevicePath("COM1"), std::string("/tmp/modem"));
        OpenComm();
        QCOMPARE(line_->Records().front().path, std::string("/tmp/modem"));
    }

    void openPreparesTheDevice() {
        comm_->SetBaudrate(ser::br9600);
        OpenComm();
        comm_->SetDTR(true);
        comm_->SetRTS(false);
        const auto records = line_->Records();
        QCOMPARE(KindsOf(records),
                 (std::vector<Kind>{Kind::Open, Kind::Settings, Kind::QueueSizes, Kind::Timeouts,
                                    Kind::EventMask, Kind::Dtr, Kind::Rts}));
        QCOMPARE(records[0].path, ser::platform::DevicePath("COM1"));
        QVERIFY(records[1].settings == ser::platform::LineSettings{});
        QVERIFY(line_->Dtr());
        QVERIFY(!line_->Rts());

        comm_->Close();
        comm_->SetUpdateDCB(false);
        OpenComm();
        QCOMPARE(line_->Records().at(records.size() + 2).kind, Kind::QueueSizes);
    }

    void failedOpenStepLeavesThePortClosed_data() {
        QTest::addColumn<Kind>("step");
        QTest::addColumn<QString>("message");
        const QString text = QString::fromLatin1(std::strerror(EINVAL));
        QTest::newRow("settings") << Kind::Settings << "Error writing dcb (22), " + text;
        QTest::newRow("queues") << Kind::QueueSizes << "Error initializing buffers (22), " + text;
        QTest::newRow("timeouts") << Kind::Timeouts << "Error setting timeouts (22), " + text;
        QTest::newRow("mask") << Kind::EventMask << " Error setting EventMask (22), " + text;
    }
    void failedOpenStepLeavesThePortClosed() {
        QFETCH(Kind, step);
        QFETCH(QString, message);
        line_->SetFailing(step, EINVAL);
        QCOMPARE(ErrorText([&] { OpenComm(); }), message);
        QVERIFY(!comm_->Active());
        QVERIFY(!line_->IsOpen());

        line_->SetFailing(step, 0);
        OpenComm();
        QVERIFY(comm_->Active());
    }

    void openFailuresNameTheDevice() {
        line_->SetMissing(ser::platform::DevicePath("COM7"));
        comm_->SetDeviceName("COM7");
        QCOMPARE(ErrorText([&] { comm_->Open(); }),
                 QStringLiteral("Specified device not found (COM7)."));
        line_->SetBusy(ser::platform::DevicePath("COM2"));
        comm_->SetDeviceName("COM2");
        QCOMPARE(ErrorText([&] { comm_->Open(); }), "Can't open specified device COM2 (Error 16, " +
                                                        QString::fromLatin1(std::strerror(EBUSY)) +
                                                        ")");
        // A node without hardware behind it opens, then hangs up at its first settings.
        line_->SetFailing(Kind::Settings, EIO);
        comm_->SetDeviceName("COM7");
        QCOMPARE(ErrorText([&] { comm_->Open(); }),
                 QStringLiteral("Specified device not found (COM7)."));
        QVERIFY(!comm_->Active());
        QVERIFY(!line_->IsOpen());
    }

    // A pseudo-terminal has no modem lines to move; any other device that cannot move them
    // cannot key a modem.
    void missingModemLinesExcusedOnlyOnAPseudoTerminal_data() {
        QTest::addColumn<bool>("pseudoTerminal");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("pty ENOTTY") << true << ENOTTY << QString();
        QTest::newRow("pty EINVAL") << true << EINVAL << QString();
        QTest::newRow("adapter ENOTTY")
            << false << ENOTTY
            << "Error calling comm function (25), " + QString::fromLatin1(std::strerror(ENOTTY));
        QTest::newRow("pty, another failure")
            << true << EPERM
            << "Error calling comm function (1), " + QString::fromLatin1(std::strerror(EPERM));
    }
    void missingModemLinesExcusedOnlyOnAPseudoTerminal() {
        QFETCH(bool, pseudoTerminal);
        QFETCH(int, code);
        QFETCH(QString, message);
        line_->SetModemLines(!pseudoTerminal);
        OpenComm();
        line_->SetFailing(Kind::Rts, code);
        line_->SetFailing(Kind::Dtr, code);
        QCOMPARE(ErrorText([&] { comm_->SetDTR(true); }), message);
        QCOMPARE(ErrorText([&] { comm_->SetRTS(true); }), message);
        QCOMPARE(ErrorText([&] { comm_->SetRTS(false); }), message);
        QVERIFY(comm_->Active());
    }

    void settingsBeforeAndWhileOpen() {
        ser::TSerBuffers buffers({});
        buffers.SetWriteSize(16);
        buffers.SetWriteTimeout(50);
        QCOMPARE(ErrorText([&] { buffers.SetReadSize(-1); }),
                 QStringLiteral("Buffer settings cannot be negative"));

        comm_->Buffers().Assign(buffers);
        QCOMPARE(comm_->Buffers().WriteSize(), 16);
        OpenComm();
        buffers.SetWriteSize(32);
        QCOMPARE(ErrorText([&] { comm_->Buffers().Assign(buffers); }),
                 QStringLiteral("Can't perform this operation while port is open"));
        QCOMPARE(comm_->Buffers().WriteSize(), 16);

        ser::TSerFlowControl flow({});
        flow.SetXonXoffOut(true);
        flow.SetOutCtsFlow(true);
        const auto applied = line_->Records().size();
        comm_->FlowControl().Assign(flow);
        const auto records = line_->Records();
        QCOMPARE(records.size(), applied + 1);
        QVERIFY(records.back().settings.xonXoffOut && records.back().settings.outCtsFlow);

        // Single settings while open apply at once.
        comm_->SetBaudrate(ser::br19200);
        QCOMPARE(line_->Records().back().settings.bitRate, 19200);
        comm_->FlowControl().SetXonXoffIn(true);
        QVERIFY(line_->Records().back().settings.xonXoffIn);

        line_->SetFailing(Kind::Settings, EINVAL);
        QVERIFY(ErrorText([&] {
                    comm_->SetParity(ser::paEven);
                }).startsWith("Error writing dcb (22), "));
        QCOMPARE(comm_->Parity(), ser::paEven);
        QVERIFY(comm_->Active());
    }

    void lineUpdatesRefusedByFlowControl_data() {
        QTest::addColumn<int>("rts");
        QTest::addColumn<int>("dtr");
        QTest::addColumn<bool>("rtsLine");
        QTest::addColumn<QString>("message");
        const QString rts = QStringLiteral(
            "RTS line updates not allowed when flowcontrol is set to Handshake or Toggle.");
        const QString dtr =
            QStringLiteral("DTR line updates not allowed when flowcontrol is set to Handshake.");
        QTest::newRow("rtsToggle") << int(ser::rtsToggle) << int(ser::dtrDisabled) << true << rts;
        QTest::newRow("rtsHandshake")
            << int(ser::rtsHandshake) << int(ser::dtrDisabled) << true << rts;
        QTest::newRow("dtrHandshake")
            << int(ser::rtsDisabled) << int(ser::dtrHandshake) << false << dtr;
    }
    void lineUpdatesRefusedByFlowControl() {
        QFETCH(int, rts);
        QFETCH(int, dtr);
        QFETCH(bool, rtsLine);
        QFETCH(QString, message);
        comm_->FlowControl().SetControlRts(static_cast<ser::TSerControlRts>(rts));
        comm_->FlowControl().SetControlDtr(static_cast<ser::TSerControlDtr>(dtr));
        const auto setLine = [&] { rtsLine ? comm_->SetRTS(true) : comm_->SetDTR(true); };
        QCOMPARE(ErrorText(setLine), message);
        OpenComm();
        QCOMPARE(ErrorText(setLine), message);
        QVERIFY(!line_->Rts() && !line_->Dtr());
    }

    void closedPortDoesNothing() {
        std::uint8_t buffer[4] = {1, 2, 3, 4};
        QVERIFY(!comm_->WriteChar(1));
        QCOMPARE(comm_->WriteBuf(buffer, 4), 0);
        QCOMPARE(comm_->ReadBuf(buffer, 4), 0);
        QCOMPARE(comm_->InQueCount(), 0);
        comm_->SetRTS(true);
        comm_->SetDTR(true);
        comm_->PurgeRead();
        comm_->Close();
        QVERIFY(comm_->Drain(0ms));
        QVERIFY(line_->Records().empty());
    }

    void closeDropsQueuedOutput() {
        OpenComm();
        line_->SetWritesStuck(true);
        const Bytes frame{1, 2, 3, 4, 5};
        QCOMPARE(comm_->WriteBuf(frame.data(), 5), 5);
        comm_->Close();
        line_->SetWritesStuck(false);
        OpenComm();
        QVERIFY(comm_->WriteChar(9));
        QVERIFY(line_->WaitForWritten(1, 5s));
        QCOMPARE(line_->Written(), Bytes{9});
    }

    void closeEndsTheThreadsWhereverTheyWait() {
        // The writer idles or writes, the event thread waits for the device or delivers: a
        // close at any of these moments must join them. Many rounds give the stop a chance to
        // meet each wait just as it begins or ends.
        const Bytes frame{1, 2, 3};
        for (int round = 0; round < 300; ++round) {
            OpenComm();
            if (round % 2 == 1) {
                QCOMPARE(comm_->WriteBuf(frame.data(), 3), 3);
                line_->Receive(frame);
            }
            comm_->Close();
        }
    }

    void fullBufferIsRefusedAfterTheWriteTimeout() {
        comm_->Buffers().SetWriteSize(8);
        comm_->Buffers().SetWriteTimeout(150);
        OpenComm();
        line_->SetWritesStuck(true);
        // Accepted before a byte has left.
        const Bytes eight(8, 0xEE);
        QCOMPARE(comm_->WriteBuf(eight.data(), 8), 8);
        QVERIFY(line_->Written().empty());
        const auto start = Clock::now();
        QCOMPARE(ErrorText([&] { comm_->WriteChar(1); }),
                 QStringLiteral("Output buffer is full. Please check comm status."));
        QVERIFY(Clock::now() - start >= 150ms);
        line_->SetWritesStuck(false);
        QVERIFY(line_->WaitForWritten(8, 5s));
        QCOMPARE(line_->Written(), eight);
        QVERIFY(comm_->WriteChar(2));
    }

    void drainWaitsForTheLastByte() {
        OpenComm();
        line_->SetByteTime(2ms);
        const Bytes frame{1, 2, 3, 4, 5};
        QCOMPARE(comm_->WriteBuf(frame.data(), 5), 5);
        QVERIFY(comm_->Drain(5s));
        QCOMPARE(line_->Written(), frame);
        const auto records = line_->Records();
        QCOMPARE(records.back().kind, Kind::Drain);
        QCOMPARE(records[records.size() - 2].kind, Kind::Write);

        line_->SetWritesStuck(true);
        QVERIFY(comm_->WriteChar(6));
        const auto start = Clock::now();
        QVERIFY(!comm_->Drain(100ms));
        QVERIFY(Clock::now() - start >= 100ms);
    }

    void hangUpDropsOutputButKeepsQueuedInput() {
        OpenComm();
        std::vector<int> counts;
        comm_->OnRxChar = [&](ser::TSerCustomComm&, int count) { counts.push_back(count); };
        line_->Receive({1, 2, 3});
        QVERIFY(ui_->PumpUntil([&] { return counts == std::vector<int>{3}; }));
        line_->SetWritesStuck(true);
        QVERIFY(comm_->WriteChar(7));

        line_->HangUp();
        QVERIFY(ui_->PumpUntil([&] { return !comm_->WriteChar(8); }));
        line_->SetWritesStuck(false);
        QVERIFY(line_->Written().empty());
        QCOMPARE(comm_->InQueCount(), 3);
        Bytes read(8);
        QCOMPARE(comm_->ReadBuf(read.data(), 8), 3);
        comm_->SetRTS(true);
        comm_->PurgeRead();
        QVERIFY(!comm_->Drain(1s));
        ui_->PumpFor(50ms);
        QCOMPARE(counts, std::vector<int>{3});

        comm_->Close();
        OpenComm();
        QVERIFY(comm_->WriteChar(9));
        QVERIFY(line_->WaitForWritten(1, 5s));
    }

    // A device that fails a read or a write without having gone away stays open: the failure
    // is reported, nothing received is lost, and the write is tried again.
    void failuresOfALineStillThere() {
        OpenComm();
        Bytes read(8);
        int readBack = -1;
        QString secondRead;
        comm_->OnRxChar = [&](ser::TSerCustomComm& sender, int) {
            line_->SetFailing(Kind::Read, EINVAL);
            readBack = sender.ReadBuf(read.data(), 8);
            secondRead = ErrorText([&] { sender.ReadBuf(read.data(), 8); });
        };
        line_->Receive({1, 2, 3});
        QVERIFY(ui_->PumpUntil([&] { return readBack >= 0; }));
        QCOMPARE(readBack, 3);
        QCOMPARE(Bytes(read.begin(), read.begin() + 3), (Bytes{1, 2, 3}));
        QVERIFY(secondRead.startsWith("Read error (22), "));

        // The event thread's own reads failing: nothing is delivered meanwhile, the thread tries
        // again after a pause, and what arrived comes once the line reads again.
        RxLog log;
        comm_->OnRxChar = log.ReadingAll();
        line_->Receive({6});
        ui_->PumpFor(250ms);  // the span checked: more than two of the thread's pauses
        QVERIFY(log.counts.empty());
        line_->SetFailing(Kind::Read, 0);
        QVERIFY(ui_->PumpUntil([&] { return !log.bytes.empty(); }));
        QCOMPARE(log.bytes, Bytes{6});

        line_->SetFailing(Kind::Write, EINVAL);
        QVERIFY(comm_->WriteChar(4));
        ui_->PumpFor(250ms);
        QVERIFY(line_->Written().empty());
        QVERIFY(comm_->WriteChar(5));
        line_->SetFailing(Kind::Write, 0);
        // The writer reports each failure through the user-interface thread: keep pumping.
        QVERIFY(ui_->PumpUntil([&] { return line_->Written().size() >= 2; }));
        QCOMPARE(line_->Written(), (Bytes{4, 5}));
        QVERIFY(comm_->Active());
    }

    void handlerExceptionIsReportedAndDeliveryGoesOn() {
        OpenComm();
        RxLog log;
        comm_->OnRxChar = [&](ser::TSerCustomComm& sender, int count) {
            log.ReadingAll()(sender, count);
            if (log.counts.size() == 1) {
                throw ser::ESerCommError("handler failed");
            }
        };
        line_->Receive({1});
        QVERIFY(ui_->PumpUntil([&] { return log.counts.size() == 1; }));
        line_->Receive({2});
        QVERIFY(ui_->PumpUntil([&] { return log.counts.size() == 2; }));
        QCOMPARE(ui_->TakeReports(), std::vector<std::string>{"handler failed"});
        QCOMPARE(log.bytes, (Bytes{1, 2}));
    }

    void closeAndReopenInsideTheHandler() {
        OpenComm();
        RxLog log;
        comm_->OnRxChar = [&](ser::TSerCustomComm& sender, int count) {
            log.ReadingAll()(sender, count);
            if (log.counts.size() == 1) {
                sender.Close();
                QVERIFY(!line_->IsOpen());
                sender.Open();
            }
        };
        line_->Receive({1});
        QVERIFY(ui_->PumpUntil([&] { return log.counts.size() == 1; }));
        line_->Receive({2});
        QVERIFY(ui_->PumpUntil([&] { return log.counts.size() == 2; }));
        comm_->Close();
        line_->Receive({3});
        ui_->PumpFor(50ms);
        QCOMPARE(log.bytes, (Bytes{1, 2}));
    }

    void destroyInsideTheHandler_data() {
        QTest::addColumn<bool>("lineError");
        QTest::newRow("characters") << false;
        // The batch also carries kEvErr, whose handling must not touch the destroyed component.
        QTest::newRow("characters and a line error") << true;
    }
    void destroyInsideTheHandler() {
        QFETCH(bool, lineError);
        OpenComm();
        int calls = 0;
        comm_->OnRxChar = [&](ser::TSerCustomComm&, int) {
            ++calls;
            comm_.reset();
        };
        lineError ? line_->ReceiveWithLineError({1}) : line_->Receive({1});
        QVERIFY(ui_->PumpUntil([&] { return calls == 1; }));
        QVERIFY(!line_->IsOpen());
        line_->Receive({2});
        ui_->PumpFor(50ms);
        QCOMPARE(calls, 1);
    }
};

QTEST_GUILESS_MAIN(SerCommFakeTest)
#include "ser_comm_fake_test.moc"
