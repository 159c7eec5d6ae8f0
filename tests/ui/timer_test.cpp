// The timer rule the handlers rely on: giving a timer the interval or enabled state it already
// has leaves its countdown alone; disabling and enabling, or a new interval, start it afresh.

#include <QSignalSpy>
#include <QTest>

#include "tests/support/warnings.h"
#include "ui/timer.h"

namespace {

constexpr int kLong = 60000;  // long enough never to expire during a test
constexpr int kLetTimePass = 50;

}  // namespace

class TTimerTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void createdDisabled();
    void sameStateKeepsCountdown();
    void sameIntervalKeepsCountdown();
    void disableEnableRestarts();
    void newIntervalRestartsRunningTimer();
    void newIntervalWhileDisabledDoesNotStart();
    void expiresRepeatedlyUntilDisabled();
    void handlerExceptionDoesNotStopTimer();
};

void TTimerTest::createdDisabled() {
    TTimer timer(QStringLiteral("Timer1"));
    QVERIFY(!timer.Enabled());
    QCOMPARE(timer.RemainingTime(), -1);
    QCOMPARE(timer.objectName(), QStringLiteral("Timer1"));
}

void TTimerTest::sameStateKeepsCountdown() {
    TTimer timer(QStringLiteral("Timer4"));
    timer.SetInterval(kLong);
    timer.SetEnabled(true);
    QTest::qWait(kLetTimePass);
    const int before = timer.RemainingTime();
    timer.SetEnabled(true);
    QVERIFY2(timer.RemainingTime() <= before, "enabling an enabled timer restarted it");
    QVERIFY(timer.RemainingTime() <= kLong - kLetTimePass);
}

void TTimerTest::sameIntervalKeepsCountdown() {
    TTimer timer(QStringLiteral("Timer5"));
    timer.SetInterval(kLong);
    timer.SetEnabled(true);
    QTest::qWait(kLetTimePass);
    timer.SetInterval(kLong);
    QVERIFY(timer.RemainingTime() <= kLong - kLetTimePass);
}

void TTimerTest::disableEnableRestarts() {
    TTimer timer(QStringLiteral("Timer1"));
    timer.SetInterval(kLong);
    timer.SetEnabled(true);
    QTest::qWait(kLetTimePass);
    timer.SetEnabled(false);
    QCOMPARE(timer.RemainingTime(), -1);
    timer.SetEnabled(true);
    QVERIFY(timer.RemainingTime() > kLong - kLetTimePass);
}

void TTimerTest::newIntervalRestartsRunningTimer() {
    TTimer timer(QStringLiteral("Timer3"));
    timer.SetInterval(kLong);
    timer.SetEnabled(true);
    QTest::qWait(kLetTimePass);
    timer.SetInterval(kLong - 1);
    QVERIFY(timer.RemainingTime() > kLong - kLetTimePass);
}

void TTimerTest::newIntervalWhileDisabledDoesNotStart() {
    TTimer timer(QStringLiteral("Timer3"));
    timer.SetInterval(250);
    QVERIFY(!timer.Enabled());
    QCOMPARE(timer.RemainingTime(), -1);
}

void TTimerTest::expiresRepeatedlyUntilDisabled() {
    TTimer timer(QStringLiteral("Timer1"));
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 3) {
            timer.SetEnabled(false);
        }
    };
    timer.SetInterval(5);
    timer.SetEnabled(true);
    QTRY_COMPARE(ticks, 3);
    QTest::qWait(kLetTimePass);
    QCOMPARE(ticks, 3);
}

void TTimerTest::handlerExceptionDoesNotStopTimer() {
    // The error report is a modal box; answer it so the handler's timer can go on.
    TTimer timer(QStringLiteral("Timer1"));
    int ticks = 0;
    timer.OnTimer = [&] {
        ++ticks;
        if (ticks == 1) {
            QTimer::singleShot(0, [] {
                if (QWidget* box = QApplication::activeModalWidget()) {
                    box->close();
                }
            });
            throw std::runtime_error("handler failed");
        }
        timer.SetEnabled(false);
    };
    timer.SetInterval(5);
    timer.SetEnabled(true);
    QTRY_COMPARE(ticks, 2);
}

QTEST_MAIN(TTimerTest)
#include "timer_test.moc"
