#pragma once
// What the tests expect the program to show, and how long they wait for it.

#include <QColor>
#include <QString>

// Generous for a loaded two-core machine; waits end as soon as the awaited thing happens.
inline constexpr int kPatienceMs = 20000;

// The status lamps of the registration tab.
inline const QColor kSilver(192, 192, 192), kRed(255, 0, 0), kYellow(255, 255, 0),
    kGreen(0, 128, 0);

// A value whose answer failed its checksum, and a registration slot that never answered.
inline const QString kNotReliable = QStringLiteral("Данные не достоверны");
inline const QString kNoAnswer = QStringLiteral("Нет ответа");
