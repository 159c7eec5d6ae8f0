#pragma once
// Unexpected Qt warnings fail the test that raises them. The offscreen platform's notes that it
// cannot resize fixed-size windows or raise a window are expected and ignored.

#include <QRegularExpression>
#include <QTest>

inline void FailOnUnexpectedWarnings() {
    QTest::failOnWarning(QRegularExpression(
        QStringLiteral("^(?!This plugin does not support (propagateSizeHints|raise)\\(\\)$)")));
}
