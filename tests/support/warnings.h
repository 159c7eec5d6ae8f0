#pragma once
// Unexpected Qt warnings fail the test that raises them. The offscreen platform's note that it
// cannot resize fixed-size windows is expected and ignored.

#include <QRegularExpression>
#include <QTest>

inline void FailOnUnexpectedWarnings() {
    QTest::failOnWarning(QRegularExpression(
        QStringLiteral("^(?!This plugin does not support propagateSizeHints\\(\\)$)")));
}
