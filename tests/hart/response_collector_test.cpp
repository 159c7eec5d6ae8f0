// Collecting received bytes into responses: completion by the byte count, answers split and
// joined across events, and answers too long for the receive buffer.

#include <QTest>
#include <vector>

#include "hart/response_collector.h"
#include "tests/support/test_frames.h"
#include "tests/support/warnings.h"

namespace {

using testframes::Bytes;
using testframes::Concat;
using testframes::Response;

// A response with `data` bytes after the two status bytes, checksum correct.
// Collects into a fresh receive state and keeps a copy of every dispatched response.
struct Harness {
    hart::ReceiveState receive;
    TraceMemo memo{1000};
    std::vector<Bytes> dispatched;
    hart::ResponseCollector collector{receive, memo, [this] { KeepAnswer(); }};

    void KeepAnswer() {
        dispatched.emplace_back(receive.RxBuf.begin() + 1,
                                receive.RxBuf.begin() + 1 + receive.RxLength);
    }

    void Feed(const Bytes& bytes) { collector.Collect(bytes); }
    QStringList Trace() const { return memo.toPlainText().split(u'\n', Qt::SkipEmptyParts); }
};

const Bytes kPrimary = Response(1, 1, {12, 66, 202, 166, 102});  // 19 bytes

}  // namespace

class ResponseCollectorTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void completesWhenByteCountPlus14Arrived();
    void tenBytesNeverComplete();
    void everySplitDispatchesOnce();
    void answersArrivingTogetherAreAllDispatched();
    void partialAnswerWaitsAfterACompleteOne();
    void longestAnswerFits();
    void answerTooLongIsDroppedWhole();
    void restartDropsAPartialAnswer();
};

void ResponseCollectorTest::completesWhenByteCountPlus14Arrived() {
    Harness h;
    h.Feed(Bytes(kPrimary.begin(), kPrimary.begin() + 8));
    h.Feed(Bytes(kPrimary.begin() + 8, kPrimary.begin() + 10));
    QVERIFY(h.dispatched.empty());
    h.Feed(Bytes(kPrimary.begin() + 10, kPrimary.end()));
    QCOMPARE(h.dispatched.size(), 1u);
    QCOMPARE(h.dispatched[0], kPrimary);
    QCOMPARE(h.receive.RxLength, 19);
    QCOMPARE(h.receive.RxCount, 0);
    QCOMPARE(h.Trace(), QStringList{QStringLiteral("Буфер приемника: Приняты все байты: 19")});
}

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
        QCOMPARE(h.dispatched.size(), 1u);
        QCOMPARE(h.dispatched[0], kPrimary);
    }
    Harness byteByByte;
    for (const std::uint8_t byte : kPrimary) {
        byteByByte.Feed({byte});
    }
    QCOMPARE(byteByByte.dispatched.size(), 1u);
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

void ResponseCollectorTest::partialAnswerWaitsAfterACompleteOne() {
    const Bytes second = Response(2, 1, {12, 1, 2, 3, 4});
    Harness h;
    h.Feed(Concat(kPrimary, Bytes(second.begin(), second.begin() + 5)));
    QCOMPARE(h.dispatched.size(), 1u);
    QCOMPARE(h.receive.RxCount, 5);
    h.Feed(Bytes(second.begin() + 5, second.end()));
    QCOMPARE(h.dispatched.size(), 2u);
    QCOMPARE(h.dispatched[1], second);
}

void ResponseCollectorTest::longestAnswerFits() {
    const Bytes longest = Response(4, 33, Bytes(46, 9));  // 60 bytes
    Harness h;
    h.Feed(longest);
    QCOMPARE(h.dispatched.size(), 1u);
    QCOMPARE(h.dispatched[0], longest);
}

void ResponseCollectorTest::answerTooLongIsDroppedWhole() {
    // A byte count of 47 announces 61 bytes: none of them may land beyond RxBuf, and none of
    // them may start a response of its own.
    const Bytes tooLong = Response(5, 33, Bytes(47, 0xFF));
    Harness h;
    h.Feed(Concat(tooLong, kPrimary));
    QCOMPARE(h.dispatched.size(), 1u);
    QCOMPARE(h.dispatched[0], kPrimary);
    const QStringList trace = h.Trace();
    QCOMPARE(trace.size(), 2);
    QCOMPARE(
        trace[0],
        QStringLiteral("Буфер приемника: Ответ длиной 61 байт не помещается в буфер и отброшен"));

    Harness largest;
    largest.Feed(Response(5, 33, Bytes(255, 0)));
    QVERIFY(largest.dispatched.empty());
    QCOMPARE(largest.receive.RxCount, 0);
    QCOMPARE(largest.receive.rxDiscard, 0);
}

void ResponseCollectorTest::restartDropsAPartialAnswer() {
    Harness h;
    h.Feed(Bytes(kPrimary.begin(), kPrimary.begin() + 12));
    h.receive.Restart();
    h.Feed(kPrimary);
    QCOMPARE(h.dispatched.size(), 1u);
    QCOMPARE(h.dispatched[0], kPrimary);
}

QTEST_MAIN(ResponseCollectorTest)
#include "response_collector_test.moc"
#include "ui/trace_memo.h"
