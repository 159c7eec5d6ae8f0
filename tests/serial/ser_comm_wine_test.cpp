// The component on a COM port under Wine whose other end, a pseudo-terminal, wine_com_peer.py
// plays on the host. The test asks the peer for what it needs with command lines written to
// the port ("#STAMP\n"); the peer answers on the line, and measures what only the host can
// see (the CPU time of this program and of the wineserver). Run through that script, never on
// its own.

#include <windows.h>

#include <QTest>
#include <algorithm>
#include <cstring>
#include <optional>
#include <random>
#include <string>

#include "tests/support/serial_test_support.h"
#include "tests/support/wake_wait.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Microseconds since 1970 on the clock the peer stamps its bytes with (CLOCK_REALTIME, which
// Wine's system time is).
std::int64_t WallMicroseconds() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    const std::int64_t ticks =
        (static_cast<std::int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr std::int64_t kUnixEpochTicks = 116'444'736'000'000'000;
    return (ticks - kUnixEpochTicks) / 10;
}

// A pattern with every byte value, the peer's command characters among them.
Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 37 + i / 256);
    }
    return bytes;
}

std::string TextOf(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

class SerCommWineTest : public QObject {
    Q_OBJECT

    TestUiThread ui_;
    std::unique_ptr<ser::TSerComm> comm_;
    int steps_ = 0;  // synchronized calls the component made
    Bytes received_;
    std::optional<std::int64_t> firstArrival_;  // WallMicroseconds of the first OnRxChar
    bool reading_ = true;
    std::minstd_rand random_{7};

    ser::TSerEnvironment CountingEnvironment() {
        ser::TSerEnvironment environment = ui_.Environment();
        environment.syncCall = [this, call = environment.syncCall](
                                   const std::function<void()>& step, std::stop_token cancel) {
            return call(
                [&] {
                    ++steps_;
                    step();
                },
                std::move(cancel));
        };
        return environment;
    }

    void OpenCom1() {
        comm_->SetDeviceName("COM1");
        comm_->Open();
    }

    void Ask(const std::string& command) {
        const std::string line = "#" + command + "\n";
        Write(Bytes(line.begin(), line.end()));
    }

    void Write(const Bytes& bytes) {
        for (std::size_t at = 0; at < bytes.size(); at += 1024) {
            const int count = static_cast<int>(std::min<std::size_t>(1024, bytes.size() - at));
            QCOMPARE(comm_->WriteBuf(bytes.data() + at, count), count);
        }
    }

    // Reads what `count` announces in pieces of one to seven bytes, so that reads end in the
    // component's queue, in the byte the wait took and in the driver.
    void ReadInPieces(ser::TSerCustomComm& sender, int count) {
        std::uint8_t piece[7];
        while (count > 0) {
            const int wanted = std::min(count, 1 + static_cast<int>(random_() % 7));
            const int n = sender.ReadBuf(piece, wanted);
            if (n == 0) {
                return;
            }
            received_.insert(received_.end(), piece, piece + n);
            count -= n;
        }
    }

    void OnRxChar(ser::TSerCustomComm& sender, int count) {
        if (!firstArrival_) {
            firstArrival_ = WallMicroseconds();
        }
        if (reading_) {
            ReadInPieces(sender, count);
        }
    }

    // Runs the component's synchronized calls until `done` holds; false after `timeout`.
    // `done` changes only in those calls, so between them the thread sleeps without a
    // time-out of its own: an idle wait costs nothing.
    bool Await(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            ui_.Queue().RunPending();
            if (done()) {
                return true;
            }
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left <= 0ms) {
                return false;
            }
            WaitSignalled(ui_.Queue().WakeHandle(), left);
        }
    }

    bool AwaitBytes(std::size_t count, std::chrono::milliseconds timeout = 10s) {
        return Await([&] { return received_.size() >= count; }, timeout);
    }

    static std::chrono::milliseconds Timed(const std::function<void()>& operation) {
        const auto start = Clock::now();
        operation();
        return std::chrono::ceil<std::chrono::milliseconds>(Clock::now() - start);
    }

private slots:
    void init() {
        steps_ = 0;
        received_.clear();
        firstArrival_.reset();
        reading_ = true;
        comm_ = std::make_unique<ser::TSerComm>(CountingEnvironment());
        comm_->OnRxChar = [this](ser::TSerCustomComm& sender, int count) {
            OnRxChar(sender, count);
        };
        OpenCom1();
    }
    void cleanup() {
        const auto closing = Timed([&] { comm_.reset(); });
        QVERIFY2(closing < 500ms, qPrintable(QString("Close took %1 ms").arg(closing.count())));
        QCOMPARE(ui_.TakeReports(), std::vector<std::string>{});
    }

    // A pseudo-terminal has no modem-control lines: found out at opening, so that moving them
    // is no error there.
    void modemLineRefusalIsExcusedOnAPseudoTerminal() {
        comm_->SetDTR(true);
        comm_->SetRTS(true);
        comm_->SetRTS(false);
        QVERIFY(comm_->Active());
    }

    // The port open with nothing to do: the peer measures the CPU time of this program and of
    // the wineserver over ten seconds and answers with both, in percent of one core.
    void idleCostsLessThanOnePercentOfACore() {
        Ask("IDLE 10");
        QVERIFY(Await([&] { return TextOf(received_).find('\n') != std::string::npos; }, 30s));
        const QStringList answer = QString::fromStdString(TextOf(received_)).trimmed().split(' ');
        QCOMPARE(answer.size(), 3);
        const double program = answer[1].toDouble();
        const double server = answer[2].toDouble();
        qInfo("idle over 10 s: program %.2f %%, wineserver %.2f %%, together %.2f %% of a core",
              program, server, program + server);
        QVERIFY(program + server < 1.0);
    }

    // The peer sends its clock; the bytes must be announced within 20 ms.
    void bytesReachOnRxCharWithin20Ms() {
        std::vector<std::int64_t> latencies;
        for (int round = 0; round < 20; ++round) {
            received_.clear();
            firstArrival_.reset();
            Ask("STAMP");
            QVERIFY(AwaitBytes(8));
            std::int64_t sent = 0;
            std::memcpy(&sent, received_.data(), sizeof sent);
            latencies.push_back(*firstArrival_ - sent);
        }
        std::sort(latencies.begin(), latencies.end());
        qInfo("bytes to OnRxChar over 20 rounds: min %.1f ms, median %.1f ms, max %.1f ms",
              latencies.front() / 1000.0, latencies[latencies.size() / 2] / 1000.0,
              latencies.back() / 1000.0);
        QVERIFY(latencies.front() >= 0);
        QVERIFY(latencies.back() < 20'000);
    }

    // The peer echoes 3000 bytes in pieces of 1 to 40 with pauses of up to 2 ms, while the test
    // reads them in small pieces both inside OnRxChar and between the component's calls, when
    // the wait for the next byte is in progress.
    void orderKeptAcrossTheWaitRead() {
        const Bytes sent = Pattern(3000);
        Ask("ECHO 3000");
        Write(sent);
        const auto deadline = Clock::now() + 20s;
        while (received_.size() < sent.size() && Clock::now() < deadline) {
            ui_.Queue().RunPending();
            ReadInPieces(*comm_, 3);
            WaitSignalled(ui_.Queue().WakeHandle(), 1ms);
        }
        QCOMPARE(received_.size(), sent.size());
        QVERIFY(received_ == sent);
    }

    // Bytes left unread are dropped by PurgeRead, also when the wait for the next byte is in
    // progress; the next bytes are delivered as before.
    void purgeDropsUnreadInput() {
        reading_ = false;
        Ask("SEND 5");
        QVERIFY(Await([&] { return comm_->InQueCount() == 5; }, 10s));
        comm_->PurgeRead();
        QCOMPARE(comm_->InQueCount(), 0);
        reading_ = true;
        Ask("STAMP");
        QVERIFY(AwaitBytes(8));
        QCOMPARE(received_.size(), std::size_t{8});
    }

    // The peer stops reading, so the line fills and a write stays pending: Drain gives up after
    // its time-out and Close ends the pending write and the wait at once.
    void closeAndDrainNeverBlock() {
        comm_->Close();
        comm_->Buffers().SetWriteTimeout(200);
        OpenCom1();
        Ask("STALL 2");
        const Bytes zeros(1024, 0);
        bool full = false;
        for (int i = 0; i < 400 && !full; ++i) {
            full = !ErrorOf([&] { comm_->WriteBuf(zeros.data(), 1024); }).empty();
        }
        QVERIFY(full);
        bool drained = true;
        const auto draining = Timed([&] { drained = comm_->Drain(100ms); });
        QVERIFY(!drained);
        const auto closing = Timed([&] { comm_->Close(); });
        qInfo("line full: Drain(100 ms) gave up after %lld ms, Close took %lld ms",
              static_cast<long long>(draining.count()), static_cast<long long>(closing.count()));
        QVERIFY(draining < 1000ms);
        QVERIFY(closing < 500ms);
    }

    // The peer closes its end: one line-error step, no OnRxChar, then nothing while the peer
    // measures that the program stays idle; writes are refused as on a closed port.
    void hangUpMakesThePortDead() {
        Ask("HANGUP");
        QVERIFY(Await([&] { return steps_ > 0; }, 10s));
        QCOMPARE(steps_, 1);
        QVERIFY(!firstArrival_);
        QVERIFY(!comm_->WriteChar(1));
        Await([] { return false; }, 4s);
        QCOMPARE(steps_, 1);
        QVERIFY(comm_->Active());
    }
};

QTEST_GUILESS_MAIN(SerCommWineTest)
#include "ser_comm_wine_test.moc"
