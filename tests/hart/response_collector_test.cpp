// Collecting received bytes into responses: completion by the byte count, answers split and
// joined across events, answers too long for the receive buffer, and a line that put the collector
// out of step: a pause on the line ends a response that will never be complete, so the next answer
// is read from its first byte again.

#include <QTest>
#include <chrono>
#include <vector>

#include "hart/response_collector.h"
#include "tests/support/test_frames.h"
#include "tests/support/warnings.h"

using namespace std::chrono_literals;

namespace {

using testframes::Bytes;
using testframes::Concat;
using testframes::Response;

// Collects into a fresh receive state, on a clock that moves only when told to, and keeps a copy
// of every dispatched response.
struct Harness {
    hart::ReceiveState receive;
    TraceMemo memo{1000};
    std::vector<Bytes> dispatched;
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
    hart::ResponseCollector collector{receive, memo, [this] { KeepAnswer(); },
                                      [this] { return now; }};

    void KeepAnswer() {
        dispatched.emplace_back(receive.RxBuf.begin() + 1,
                                receive.RxBuf.begin() + 1 + receive.RxLength);
    }

    void Feed(const Bytes& bytes) { collector.Collect(bytes); }
    QStringList Trace() const { return memo.toPlainText().split(u'\n', Qt::SkipEmptyParts); }
};

const Bytes kPrimary = Response(1, 1, {12, 66, 202, 166, 102});  // 19 bytes

// The answers of one poll of slots 1..10 with command 1; the values change from poll to poll.
std::vector<Bytes> Poll(int poll) {
    std::vector<Bytes> answers;
    for (std::uint8_t slot = 1; slot <= 10; ++slot) {
        const auto value = static_cast<std::uint8_t>(poll * 37 + slot * 11);
        answers.push_back(
            Response(slot, 1, {12, 63, value, static_cast<std::uint8_t>(value ^ 0x5A), 1}));
    }
    return answers;
}

}  // namespace

class ResponseCollectorTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void tenBytesNeverComplete();
    void everySplitDispatchesOnce();
    void answersArrivingTogetherAreAllDispatched();
    void partialAnswerWaitsUnlessRestarted();
    void answerTooLongIsDroppedWhole();
    void backInStepAtTheNextPause();
    void pauseWithinAnAnswer_data();
    void pauseWithinAnAnswer();
    void pauseEndsTheDropOfAnOversizedAnswer();
};

void ResponseCollectorTest::tenBytesNeverComplete() {
    // Whatever the values, the byte count is only known from the eleventh byte on.
    Harness h;
    h.Feed(Bytes(10, 0));
    QVERIFY(h.dispatched.empty());
    QCOMPARE(h.receive.RxCount, 10);
}

void ResponseCollectorTest::everySplitDispatchesOnce() {
    for (std::size_t cut = 1; cut < kPrimary.size(); ++cut) {
        Harness h;
        h.Feed(Bytes(kPrimary.begin(), kPrimary.begin() + static_cast<long>(cut)));
        h.Feed(Bytes(kPrimary.begin() + static_cast<long>(cut), kPrimary.end()));
        QCOMPARE(h.dispatched, std::vector<Bytes>{kPrimary});
        QCOMPARE(h.receive.RxLength, 19);
        QCOMPARE(h.receive.RxCount, 0);
        QCOMPARE(h.Trace(), QStringList{QStringLiteral("Буфер приемника: Приняты все байты: 19")});
    }
    // Complete only once the byte count and 14 more have arrived.
    Harness byteByByte;
    for (const std::uint8_t byte : kPrimary) {
        QVERIFY(byteByByte.dispatched.empty());
        byteByByte.Feed({byte});
    }
    QCOMPARE(byteByByte.dispatched, std::vector<Bytes>{kPrimary});
}

void ResponseCollectorTest::answersArrivingTogetherAreAllDispatched() {
    // During a poll tick the answers of several transmitters arrive in one event.
    const Bytes second = Response(2, 3, Bytes(20, 7));
    const Bytes third = Response(3, 1, {12, 0, 0, 0, 0});
    Harness h;
    h.Feed(Concat(Concat(kPrimary, second), third));
    QCOMPARE(h.dispatched.size(), 3u);
    QCOMPARE(h.dispatched[0], kPrimary);
    QCOMPARE(h.dispatched[1], second);
    QCOMPARE(h.dispatched[2], third);
    QCOMPARE(h.Trace().size(), 3);
}

void ResponseCollectorTest::partialAnswerWaitsUnlessRestarted() {
    const Bytes second = Response(2, 1, {12, 1, 2, 3, 4});
    Harness h;
    h.Feed(Concat(kPrimary, Bytes(second.begin(), second.begin() + 5)));
    QCOMPARE(h.dispatched.size(), 1u);
    QCOMPARE(h.receive.RxCount, 5);
    h.Feed(Bytes(second.begin() + 5, second.end()));
    QCOMPARE(h.dispatched, (std::vector<Bytes>{kPrimary, second}));
    // A restart drops a partial answer.
    h.Feed(Bytes(kPrimary.begin(), kPrimary.begin() + 12));
    h.receive.Restart();
    h.Feed(kPrimary);
    QCOMPARE(h.dispatched, (std::vector<Bytes>{kPrimary, second, kPrimary}));
}

void ResponseCollectorTest::answerTooLongIsDroppedWhole() {
    // A byte count of 47 announces 61 bytes: none of them may land beyond RxBuf, and none of
    // them may start a response of its own. The longest answer, one byte shorter, fits.
    const Bytes tooLong = Response(5, 33, Bytes(47, 0xFF));
    const Bytes longest = Response(4, 33, Bytes(46, 9));
    Harness h;
    h.Feed(Concat(Concat(tooLong, kPrimary), longest));
    QCOMPARE(h.dispatched, (std::vector<Bytes>{kPrimary, longest}));
    const QStringList trace = h.Trace();
    QCOMPARE(trace.size(), 3);
    QCOMPARE(
        trace[0],
        QStringLiteral("Буфер приемника: Ответ длиной 61 байт не помещается в буфер и отброшен"));

    Harness largest;
    largest.Feed(Response(5, 33, Bytes(255, 0)));
    QVERIFY(largest.dispatched.empty());
    QCOMPARE(largest.receive.RxCount, 0);
    QCOMPARE(largest.receive.rxDiscard, 0);
}

void ResponseCollectorTest::backInStepAtTheNextPause() {
    // Eleven bytes before the answer of slot 7 make one response of themselves and all of that
    // answer but its checksum; the next response starts at the checksum. From there every
    // response straddles two answers, and with ten answers of equal length coming back to back
    // each poll, the same offsets come round again and again.
    Harness c;
    const Bytes garbage{0, 0, 0, 0, 0, 0, 0, 0, 7, 1, 15};
    for (int poll = 0; poll < 6; ++poll) {
        const std::vector<Bytes> answers = Poll(poll);
        const std::size_t before = c.dispatched.size();
        for (std::size_t i = 0; i < answers.size(); ++i) {
            if (poll == 0 && i == 6) {
                c.Feed(garbage);
            }
            c.Feed(answers[i]);
            c.now += 100ms;
        }
        if (poll > 0) {
            // Every poll after the first is read answer by answer again.
            QCOMPARE(std::vector<Bytes>(c.dispatched.begin() + static_cast<long>(before),
                                        c.dispatched.end()),
                     answers);
        }
        c.now += 1s;
    }
    // Out of step, the rest of the first poll went into a response too long for the buffer.
    QVERIFY(c.Trace().contains(
        QStringLiteral("Буфер приемника: Ответ длиной 269 байт не помещается в буфер и отброшен")));
}

void ResponseCollectorTest::pauseWithinAnAnswer_data() {
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<bool>("kept");
    QTest::newRow("a modem's hiccup") << 50 << true;
    QTest::newRow("just below the bound") << 499 << true;
    QTest::newRow("at the bound") << 500 << false;
    QTest::newRow("a minute") << 60000 << false;
}

void ResponseCollectorTest::pauseWithinAnAnswer() {
    QFETCH(int, pauseMs);
    QFETCH(bool, kept);
    const Bytes first = Response(3, 1, {12, 66, 202, 166, 102});
    const Bytes second = Response(4, 1, {12, 66, 202, 166, 103});
    Harness c;
    c.Feed(Bytes(first.begin(), first.begin() + 8));
    c.now += std::chrono::milliseconds(pauseMs);
    c.Feed(Bytes(first.begin() + 8, first.end()));
    c.Feed(second);
    if (kept) {
        QCOMPARE(c.dispatched, (std::vector<Bytes>{first, second}));
        return;
    }
    // The rest of the answer is read as the start of a response, here one too long for the buffer;
    // the answer after the next pause is read whole again.
    QCOMPARE(c.Trace().first(),
             QStringLiteral("Буфер приемника: Неполный ответ из 8 байт отброшен"));
    QVERIFY(c.dispatched.empty());
    c.now += 1s;
    c.Feed(second);
    QCOMPARE(c.dispatched.back(), second);
}

void ResponseCollectorTest::pauseEndsTheDropOfAnOversizedAnswer() {
    // The line broke off in the middle of an answer that was too long for the buffer.
    const Bytes tooLong = Response(5, 33, Bytes(100, 9));
    const Bytes answer = Response(5, 1, {12, 66, 202, 166, 102});
    Harness c;
    c.Feed(Bytes(tooLong.begin(), tooLong.begin() + 30));
    c.now += 1s;
    c.Feed(answer);
    QCOMPARE(c.dispatched, std::vector<Bytes>{answer});
    QCOMPARE(c.Trace().size(), 2);  // the drop of the long answer, and the answer
}

QTEST_MAIN(ResponseCollectorTest)
#include "response_collector_test.moc"
#include "ui/trace_memo.h"
