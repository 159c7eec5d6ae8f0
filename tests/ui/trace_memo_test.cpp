// The trace pane keeps the newest lines within its limit and a tenth, in order, and follows the
// newest line only while the operator has not scrolled away from it.

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "tests/support/warnings.h"
#include "ui/trace_memo.h"

namespace {

void AppendNumbered(TraceMemo& memo, int first, int last) {
    for (int line = first; line <= last; ++line) {
        memo.AppendLine(QString::number(line));
    }
}

// Shown, with more lines than fit.
bool ShowWithLines(TraceMemo& memo, int lines) {
    memo.resize(400, 150);
    memo.show();
    AppendNumbered(memo, 1, lines);
    return QTest::qWaitForWindowExposed(&memo);
}

bool AtNewestLine(const TraceMemo& memo) {
    return memo.verticalScrollBar()->value() == memo.verticalScrollBar()->maximum();
}

// The line at the bottom edge of the pane.
QString BottomLine(const TraceMemo& memo) {
    const int bottom = memo.viewport()->height() - memo.fontMetrics().height() / 2;
    return memo.cursorForPosition(QPoint(0, bottom)).block().text();
}

}  // namespace

class TraceMemoTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void keepsNewestLines_data();
    void keepsNewestLines();
    void followsNewestLineAtBottom();
    void staysWhereOperatorScrolled();
};

void TraceMemoTest::keepsNewestLines_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("appended");
    QTest::addColumn<int>("firstKept");
    QTest::newRow("below the limit") << 100 << 60 << 1;
    QTest::newRow("limit and a tenth") << 100 << 110 << 1;
    QTest::newRow("one more drops a tenth") << 100 << 111 << 12;
    QTest::newRow("many times the limit") << 100 << 1005 << 903;
    QTest::newRow("limit below ten") << 5 << 7 << 3;
}

void TraceMemoTest::keepsNewestLines() {
    QFETCH(int, limit);
    QFETCH(int, appended);
    QFETCH(int, firstKept);
    TraceMemo memo(limit);
    AppendNumbered(memo, 1, appended);
    QStringList expected;
    for (int line = firstKept; line <= appended; ++line) {
        expected << QString::number(line);
    }
    QCOMPARE(memo.toPlainText().split(u'\n'), expected);
}

void TraceMemoTest::followsNewestLineAtBottom() {
    // Shown after the lines came, it shows the newest one.
    TraceMemo memo(1000);
    AppendNumbered(memo, 1, 300);
    QVERIFY(ShowWithLines(memo, 0));
    QTRY_COMPARE(BottomLine(memo), QStringLiteral("300"));
    QVERIFY(memo.verticalScrollBar()->maximum() > 0);
    QVERIFY(AtNewestLine(memo));
    AppendNumbered(memo, 301, 1500);
    QTRY_COMPARE(BottomLine(memo), QStringLiteral("1500"));
    QVERIFY(AtNewestLine(memo));
}

void TraceMemoTest::staysWhereOperatorScrolled() {
    TraceMemo memo(1000);
    QVERIFY(ShowWithLines(memo, 300));
    memo.verticalScrollBar()->setValue(10);
    AppendNumbered(memo, 301, 400);
    QCOMPARE(memo.verticalScrollBar()->value(), 10);
    QCOMPARE(memo.cursorForPosition(QPoint(0, 0)).block().text(), QStringLiteral("11"));
}

QTEST_MAIN(TraceMemoTest)
#include "trace_memo_test.moc"
