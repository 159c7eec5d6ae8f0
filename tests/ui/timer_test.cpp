// The timer rule the handlers rely on: giving a timer the interval or enabled state it already
// has leaves its countdown alone; disabling and enabling, or a new interval, start it afresh.

#include <QSignalSpy>
#include <QTest>

#include "tests/support/warnings.h"
#include "ui/timer.h"

namespace {

constexpr int kLong = 60000;  // long enough never to expire during a test
constexpr int kLetTimePass = 50;

// What is done to a running timer.
enum class Change { EnableAgain, SameInterval, DisableAndEnable, NewInterval };

}  // namespace

class TTimerTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void createdDisabled();
    void countdownRestartsOnlyOnAChange_data();
    void countdownRestartsOnlyOnAChange();
    void expiresRepeatedlyUntilDisabled();
    void handlerExceptionDoesNotStopTimer();
};

void TTimerTest::createdDisabled() {
    TTimer timer(QStringLiteral("Timer1"));
    QVERIFY(!timer.Enabled());
    QCOMPARE(timer.RemainingTime(), -1);
    QCOMPARE(timer.objectName(), QStringLiteral("Timer1"));
    timer.SetInterval(250);
    QVERIFY2(!timer.Enabled(), "an interval started a disabled timer");
    QCOMPARE(timer.RemainingTime(), -1);
}

void TTimerTest::countdownRestartsOnlyOnAChange_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("restarts");
    QTest::newRow("enabled again") << int(Change::EnableAgain) << false;
    QTest::newRow("the same interval") << int(Change::SameInterval) << false;
    QTest::newRow("disabled and enabled") << int(Change::DisableAndEnable) << true;
    QTest::newRow("a new interval") << int(Change::NewInterval) << true;
}

void TTimerTest::countdownRestartsOnlyOnAChange() {
    QFETCH(int, change);
    QFETCH(bool, restarts);
    TTimer timer(QStringLiteral("Timer4"));
    timer.SetInterval(kLong);
    timer.SetEnabled(true);
    QTest::qWait(kLetTimePass);
    switch (static_cast<Change>(change)) {
        case Change::EnableAgain:
            timer.SetEnabled(true);
            break;
        case Change::SameInterval:
            timer.SetInterval(kLong);
            break;
        case Change::DisableAndEnable:
            timer.SetEnabled(false);
            QCOMPARE(timer.RemainingTime(), -1);
            timer.SetEnabled(true);
            break;
        case Change::NewInterval:
            timer.SetInterval(kLong - 1);
            break;
    }
    QVERIFY(timer.Enabled());
    QCOMPARE(timer.RemainingTime() > kLong - kLetTimePass, restarts);
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
