// Synchronized calls from worker threads to the user-interface thread, and the Qt side that
// runs them from the event loop.

#include <QRegularExpression>
#include <QTest>
#include <atomic>
#include <future>
#include <thread>

#include "serial_qt/ui_thread_calls.h"
#include "tests/support/fake_serial_device.h"
#include "tests/support/serial_test_support.h"

class SyncCallsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(".*")); }

    void callsRunOnThePumpingThreadInOrder() {
        TestUiThread ui;
        std::vector<int> order;
        std::vector<std::thread::id> threads;
        auto caller = [&](int id) {
            return std::async(std::launch::async, [&, id] {
                return ui.Queue().Call(
                    [&, id] {
                        order.push_back(id);
                        threads.push_back(std::this_thread::get_id());
                    },
                    {});
            });
        };
        auto first = caller(1);
        QVERIFY(QTest::qWaitFor([&] { return ui.CallPending(); }, 5000));
        auto second = caller(2);
        QVERIFY(ui.PumpUntil([&] { return order.size() == 2; }));
        QVERIFY(first.get());
        QVERIFY(second.get());
        QCOMPARE(order.front(), 1);
        QCOMPARE(threads, std::vector<std::thread::id>(2, std::this_thread::get_id()));
    }

    void cancelledBeforeItStartsTheCallNeverRuns() {
        TestUiThread ui;
        std::stop_source stop;
        bool ran = false;
        auto result = std::async(std::launch::async, [&] {
            return ui.Queue().Call([&] { ran = true; }, stop.get_token());
        });
        QVERIFY(QTest::qWaitFor([&] { return ui.CallPending(); }, 5000));
        stop.request_stop();
        QVERIFY(!result.get());
        ui.Queue().RunPending();
        QVERIFY(!ran);
        QVERIFY(!ui.Queue().Call([&] { ran = true; }, stop.get_token()));
    }

    void aCallThatStartedIsWaitedFor() {
        TestUiThread ui;
        std::stop_source stop;
        std::atomic<bool> finished = false;
        auto result = std::async(std::launch::async, [&] {
            const bool ran = ui.Queue().Call(
                [&] {
                    stop.request_stop();
                    finished = true;
                },
                stop.get_token());
            return ran && finished.load();
        });
        QVERIFY(ui.PumpUntil([&] { return finished.load(); }));
        QVERIFY(result.get());
    }

    void uiThreadCallsRunFromTheEventLoop() {
        UiThreadCalls calls;
        auto line = std::make_shared<FakeSerialDevice>();
        ser::TSerComm comm({calls.SyncCall(), [](std::exception_ptr) {}, line});
        RxLog log;
        comm.OnRxChar = log.ReadingAll();
        comm.SetDeviceName("COM3");
        comm.Open();
        line->Receive({0x06, 0x82, 0x00});
        QTRY_COMPARE_WITH_TIMEOUT(log.bytes.size(), std::size_t(3), 10000);
        QCOMPARE(log.bytes, (std::vector<std::uint8_t>{0x06, 0x82, 0x00}));
        QCOMPARE(log.counts, std::vector<int>{3});
    }
};

QTEST_GUILESS_MAIN(SyncCallsTest)
#include "ser_sync_calls_test.moc"
