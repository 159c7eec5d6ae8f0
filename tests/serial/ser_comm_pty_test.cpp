// The component on the operating system's devices: a pseudo-terminal whose master side the
// test drives.

#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QTest>
#include <cstring>
#include <filesystem>

#include "tests/support/pty_pair.h"
#include "tests/support/serial_test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

QString ErrorText(const std::function<void()>& operation) {
    return QString::fromStdString(ErrorOf(operation));
}

}  // namespace

class SerCommPtyTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PtyPair> pty_;
    std::unique_ptr<TestUiThread> ui_;
    std::unique_ptr<ser::TSerComm> comm_;
    RxLog log_;

    // The component as the program sets it up, opened on `path` (the pseudo-terminal's slave
    // when empty).
    ser::TSerComm& OpenComm(const std::string& path = {}) {
        comm_ = std::make_unique<ser::TSerComm>(ui_->Environment());
        comm_->SetBaudrate(ser::br9600);
        comm_->SetEventPriority(ser::tpHighest);
        comm_->SetDeviceName(path.empty() ? pty_->SlavePath() : path);
        comm_->Open();
        return *comm_;
    }
    // OnRxChar reads everything into log_.
    void LogReceived() { comm_->OnRxChar = log_.ReadingAll(); }

private slots:
    void init() {
        QTest::failOnWarning(QRegularExpression(".*"));
        pty_ = std::make_unique<PtyPair>();
        ui_ = std::make_unique<TestUiThread>();
        log_ = {};
    }
    void cleanup() {
        comm_.reset();
        QVERIFY(ui_->TakeReports().empty());
    }

    void lineSettingsReachTheDevice() {
        termios before{};
        QCOMPARE(tcgetattr(pty_->Master(), &before), 0);
        auto& comm = OpenComm();

        // The master's termios calls act on the slave.
        termios tio{};
        QCOMPARE(tcgetattr(pty_->Master(), &tio), 0);
        QCOMPARE(cfgetospeed(&tio), speed_t(B9600));
        QCOMPARE(cfgetispeed(&tio), speed_t(B9600));
        QCOMPARE(tio.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(tio.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
        QCOMPARE(tio.c_iflag & (IXON | IXOFF), tcflag_t(0));
        QCOMPARE(tio.c_lflag & (ICANON | ECHO), tcflag_t(0));
        QCOMPARE(tio.c_cc[VMIN], cc_t(0));
        QCOMPARE(tio.c_cc[VTIME], cc_t(0));

        comm.SetBaudrate(ser::br19200);
        QCOMPARE(tcgetattr(pty_->Master(), &tio), 0);
        QCOMPARE(cfgetospeed(&tio), speed_t(B19200));

        comm.Close();
        QCOMPARE(tcgetattr(pty_->Master(), &tio), 0);
        QCOMPARE(tio.c_lflag, before.c_lflag);
        QCOMPARE(cfgetospeed(&tio), cfgetospeed(&before));
    }

    void bytesArrivingDuringTheHandlerComeNext() {
        auto& comm = OpenComm();
        std::vector<int> counts;
        comm.OnRxChar = [&](ser::TSerCustomComm& sender, int count) {
            counts.push_back(count);
            if (counts.size() == 1) {
                pty_->Send({4, 5});
                QVERIFY(QTest::qWaitFor([&] { return sender.InQueCount() == 5; }, 5000));
            }
        };

        pty_->Send({1, 2, 3});
        QVERIFY(ui_->PumpUntil([&] { return counts.size() == 2; }));
        QCOMPARE(counts, (std::vector<int>{3, 5}));
    }

    void unreadBytesAreCountedAgainOnlyWithANewByte() {
        const auto before = procstats::SampleThreads(0);
        auto& comm = OpenComm();
        const auto started = procstats::SampleThreads(0);
        std::vector<int> counts;
        comm.OnRxChar = [&](ser::TSerCustomComm&, int count) { counts.push_back(count); };

        pty_->Send({1, 2, 3});
        QVERIFY(ui_->PumpUntil([&] { return !counts.empty(); }));
        ui_->PumpFor(300ms);
        QCOMPARE(counts, std::vector<int>{3});
        const ThreadUsage idle = UsageOfNewThreads(before, started, procstats::SampleThreads(0));
        QVERIFY2(idle.cpu < 50ms, "the event thread spins on bytes left unread");

        pty_->Send({4});
        QVERIFY(ui_->PumpUntil([&] { return counts.size() == 2; }));
        QCOMPARE(counts, (std::vector<int>{3, 4}));
        Bytes all(4);
        QCOMPARE(comm.ReadBuf(all.data(), 10), 4);
        QCOMPARE(all, (Bytes{1, 2, 3, 4}));
    }

    void purgeReadDropsWhatArrivedBefore() {
        auto& comm = OpenComm();
        LogReceived();

        pty_->Send({1, 2, 3});
        QVERIFY(QTest::qWaitFor([&] { return comm.InQueCount() == 3; }, 5000));
        comm.PurgeRead();
        QCOMPARE(comm.InQueCount(), 0);
        ui_->PumpFor(100ms);
        QVERIFY(log_.counts.empty());

        // OnRxChar counts what waits, and reading it leaves nothing.
        pty_->Send({7, 8, 9});
        QVERIFY(ui_->PumpUntil([&] { return log_.bytes.size() == 3; }));
        QCOMPARE(log_.counts, std::vector<int>{3});
        QCOMPARE(log_.bytes, (Bytes{7, 8, 9}));
        std::uint8_t none[4];
        QCOMPARE(comm.ReadBuf(none, 4), 0);
    }

    void writtenBytesArriveInOrder() {
        auto& comm = OpenComm();
        Bytes sent;
        for (int i = 0; i < 3000; ++i) {
            sent.push_back(static_cast<std::uint8_t>(i * 7));
            QVERIFY(comm.WriteChar(sent.back()));
        }
        QVERIFY(comm.Drain(5s));
        QCOMPARE(pty_->Receive(sent.size()), sent);
    }

    void fullOutputBufferIsRefusedAfterOneSecond() {
        auto& comm = OpenComm();
        const Bytes chunk(256, 0x5A);
        std::size_t accepted = 0;
        QString error;
        auto refusedAfter = Clock::duration::zero();
        // The master does not read: the pseudo-terminal fills up, then the writer's buffer.
        for (int i = 0; i < 4000 && error.isEmpty(); ++i) {
            const auto start = Clock::now();
            error = ErrorText([&] { accepted += comm.WriteBuf(chunk.data(), 256); });
            refusedAfter = Clock::now() - start;
        }
        QCOMPARE(error, QStringLiteral("Output buffer is full. Please check comm status."));
        QVERIFY(refusedAfter >= 1000ms);
        QVERIFY(refusedAfter < 3000ms);

        // Nothing accepted is lost once the line moves again.
        QCOMPARE(pty_->Receive(accepted).size(), accepted);
        QVERIFY(comm.WriteChar(1));
    }

    void closeDropsQueuedOutput() {
        auto& comm = OpenComm();
        const Bytes chunk(256, 0x33);
        std::size_t accepted = 0;
        QString error;
        for (int i = 0; i < 4000 && error.isEmpty(); ++i) {
            error = ErrorText([&] { accepted += comm.WriteBuf(chunk.data(), 256); });
        }
        QVERIFY(!error.isEmpty());
        comm.Close();
        QVERIFY(pty_->ReceiveAll().size() < accepted);
    }

    // The hang-up an unplugged USB adapter gives, while nothing is being sent: the component
    // notices it by itself, and the process stays idle.
    void hangUpWhileIdle() {
        qputenv("TENSOVIA_COM9", QByteArray::fromStdString(pty_->SlavePath()));
        auto& comm = OpenComm("COM9");
        comm.OnRxChar = [](ser::TSerCustomComm&, int) { QFAIL("no input after a hang-up"); };

        const auto cpuBefore = procstats::ProcessCpuTime(0);
        pty_->CloseMaster();
        ui_->PumpFor(2000ms);
        const auto cpu = procstats::ProcessCpuTime(0) - cpuBefore;
        qInfo("process CPU over 2 s after a hang-up while idle: %lld us",
              static_cast<long long>(cpu.count() / 1000));
        QVERIFY2(cpu < 200ms, "a thread spins on the hung-up device");
        // Noticed without a write: the first one is refused at once.
        QVERIFY(!comm.WriteChar(0x55));

        std::uint8_t buffer[8];
        QCOMPARE(comm.WriteBuf(buffer, 8), 0);
        QCOMPARE(comm.ReadBuf(buffer, 8), 0);
        QCOMPARE(comm.InQueCount(), 0);
        comm.SetRTS(true);
        comm.PurgeRead();
        QVERIFY(!comm.Drain(100ms));
        QVERIFY(comm.Active());
        comm.Close();
        QVERIFY(!comm.Active());
        QVERIFY(ui_->TakeReports().empty());

        // The same name opens the device that took its place.
        pty_ = std::make_unique<PtyPair>();
        qputenv("TENSOVIA_COM9", QByteArray::fromStdString(pty_->SlavePath()));
        LogReceived();
        comm.Open();
        pty_->Send({42});
        QVERIFY(ui_->PumpUntil([&] { return log_.bytes == Bytes{42}; }));
        QVERIFY(comm.WriteChar(43));
        QCOMPARE(pty_->Receive(1), Bytes{43});
        qunsetenv("TENSOVIA_COM9");
    }

    void openStateRefusals() {
        auto& comm = OpenComm();
        const QString refused = QStringLiteral("Can't perform this operation while port is open");
        QCOMPARE(ErrorText([&] { comm.Open(); }), refused);
        QCOMPARE(ErrorText([&] { comm.SetDeviceName("COM2"); }), refused);
        QCOMPARE(ErrorText([&] { comm.SetPortNum(2); }), refused);
        QCOMPARE(ErrorText([&] { comm.SetMonitorEvents({ser::ceRxChar}); }), refused);
        QCOMPARE(ErrorText([&] { comm.SetUpdateDCB(false); }), refused);
        QCOMPARE(ErrorText([&] { comm.Buffers().SetWriteSize(16); }), refused);
        QCOMPARE(comm.DeviceName(), pty_->SlavePath());
        QCOMPARE(comm.Buffers().WriteSize(), 2048);

        // The open port still works.
        LogReceived();
        pty_->Send({9});
        QVERIFY(ui_->PumpUntil([&] { return log_.bytes == Bytes{9}; }));
    }

    void missingDeviceIsNotFound_data() {
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("path");
        QTest::newRow("COM7 mapped to a missing path") << "COM7"
                                                       << "missing-tty";
        QTest::newRow("dangling symlink") << "dangling"
                                          << "dangling";
    }
    void missingDeviceIsNotFound() {
        QFETCH(QString, displayName);
        QFETCH(QString, path);
        const auto dir = std::filesystem::temp_directory_path() /
                         ("tensovia-serial-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::remove(dir / "dangling");
        std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
        const std::string target = (dir / path.toStdString()).string();
        const std::string name = displayName.startsWith("COM") ? displayName.toStdString() : target;
        qputenv("TENSOVIA_COM7", QByteArray::fromStdString(target));

        ser::TSerComm comm(ui_->Environment());
        comm.SetDeviceName(name);
        QCOMPARE(ErrorText([&] { comm.Open(); }),
                 QString::fromStdString("Specified device not found (" + name + ")."));
        QVERIFY(!comm.Active());

        comm.SetDeviceName(pty_->SlavePath());
        comm.Open();
        QVERIFY(comm.Active());
        qunsetenv("TENSOVIA_COM7");
        std::filesystem::remove_all(dir);
    }

    void busyDeviceCannotBeOpened() {
        const int holder = open(pty_->SlavePath().c_str(), O_RDWR | O_NOCTTY);
        QVERIFY(holder >= 0);
        QCOMPARE(flock(holder, LOCK_EX | LOCK_NB), 0);

        ser::TSerComm comm(ui_->Environment());
        comm.SetDeviceName(pty_->SlavePath());
        QCOMPARE(ErrorText([&] { comm.Open(); }),
                 QString::fromStdString("Can't open specified device " + pty_->SlavePath() +
                                        " (Error " + std::to_string(EWOULDBLOCK) + ", " +
                                        std::strerror(EWOULDBLOCK) + ")"));
        QVERIFY(!comm.Active());

        close(holder);
        comm.Open();
        QVERIFY(comm.Active());
    }

    void closeWhileASynchronizedCallIsPending() {
        auto& comm = OpenComm();
        int calls = 0;
        comm.OnRxChar = [&](ser::TSerCustomComm&, int) { ++calls; };

        pty_->Send({1});
        QVERIFY(QTest::qWaitFor([&] { return ui_->CallPending(); }, 5000));
        const auto start = Clock::now();
        comm.Close();
        QVERIFY(Clock::now() - start < 2s);
        ui_->PumpFor(100ms);
        QCOMPARE(calls, 0);
    }

    // Set TENSOVIA_IDLE_SECONDS to measure longer.
    void idleThreadsStayAsleep() {
        const auto before = procstats::SampleThreads(0);
        OpenComm();
        const auto started = procstats::SampleThreads(0);
        const int seconds = std::max(1, qEnvironmentVariableIntValue("TENSOVIA_IDLE_SECONDS"));
        ui_->PumpFor(std::chrono::seconds(seconds));
        const ThreadUsage idle = UsageOfNewThreads(before, started, procstats::SampleThreads(0));
        qInfo("event and writer threads over %d idle s: %lld us CPU, %ld wake-ups", seconds,
              static_cast<long long>(idle.cpu.count()), idle.wakeUps);
        QVERIFY(idle.cpu <= 20ms);
        QVERIFY(idle.wakeUps <= 2);
    }
};

QTEST_GUILESS_MAIN(SerCommPtyTest)
#include "ser_comm_pty_test.moc"
