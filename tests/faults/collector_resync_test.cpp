// The collector against a line that put it out of step: a pause on the line ends a response
// that will never be complete, so the next answer is read from its first byte again.

#include <QTest>
#include <chrono>
#include <vector>

#include "hart/response_collector.h"
#include "tests/support/test_frames.h"
#include "tests/support/warnings.h"

using namespace std::chrono_literals;
using testframes::Bytes;
using testframes::Response;

namespace {

// The collector on a clock that moves only when told to.
struct Collector {
    hart::ReceiveState receive;
    TraceMemo memo{1000};
    std::vector<Bytes> dispatched;
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
    hart::ResponseCollector collector{receive, memo,
                                      [this] {
                                          dispatched.emplace_back(
                                              receive.RxBuf.begin() + 1,
                                              receive.RxBuf.begin() + 1 + receive.RxLength);
                                      },
                                      [this] { return now; }};

    void Feed(const Bytes& bytes) { collector.Collect(bytes); }
    QStringList Trace() const { return memo.toPlainText().split(u'\n', Qt::SkipEmptyParts); }
};

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

class CollectorResyncTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void backInStepAtTheNextPause();
    void pauseWithinAnAnswer_data();
    void pauseWithinAnAnswer();
    void pauseEndsTheDropOfAnOversizedAnswer();
};

void CollectorResyncTest::backInStepAtTheNextPause() {
    // Eleven bytes before the answer of slot 7 make one response of themselves and all of that
    // answer but its checksum; the next response starts at the checksum. From there every
    // response straddles two answers, and with ten answers of equal length coming back to back
    // each poll, the same offsets come round again and again.
    Collector c;
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

void CollectorResyncTest::pauseWithinAnAnswer_data() {
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<bool>("kept");
    QTest::newRow("a modem's hiccup") << 50 << true;
    QTest::newRow("just below the bound") << 499 << true;
    QTest::newRow("at the bound") << 500 << false;
    QTest::newRow("a minute") << 60000 << false;
}

void CollectorResyncTest::pauseWithinAnAnswer() {
    QFETCH(int, pauseMs);
    QFETCH(bool, kept);
    const Bytes first = Response(3, 1, {12, 66, 202, 166, 102});
    const Bytes second = Response(4, 1, {12, 66, 202, 166, 103});
    Collector c;
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

void CollectorResyncTest::pauseEndsTheDropOfAnOversizedAnswer() {
    // The line broke off in the middle of an answer that was too long for the buffer.
    const Bytes tooLong = Response(5, 33, Bytes(100, 9));
    const Bytes answer = Response(5, 1, {12, 66, 202, 166, 102});
    Collector c;
    c.Feed(Bytes(tooLong.begin(), tooLong.begin() + 30));
    c.now += 1s;
    c.Feed(answer);
    QCOMPARE(c.dispatched, std::vector<Bytes>{answer});
    QCOMPARE(c.Trace().size(), 2);  // the drop of the long answer, and the answer
}

QTEST_MAIN(CollectorResyncTest)
#include "collector_resync_test.moc"
#include "ui/trace_memo.h"
