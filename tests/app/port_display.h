#pragma once
// What the port tab shows, checked the same way by the tests of the main window.

#include <QColor>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/main_window.h"
#include "tests/support/find_control.h"

// "СОМ" in these texts is written with Cyrillic letters; "COM1" at the start is Latin.
inline const QString kStartUpWarning = QStringLiteral(
    "Порт COM1 уже используется! Выберите свободный \u0421\u041E\u041C-порт (вкладка \"Настройка "
    "\u0421\u041E\u041C-порта\") или закройте приложение, использующее порт \u0421\u041E\u041C1.");

struct PortDisplay {
    QString text;
    QColor colour;
    bool onEnabled;
    bool offEnabled;
};

inline PortDisplay PortTabShows(TForm1& form) {
    auto* label = Find<QLabel>(form, "TabSheet4", "Label16");
    return {label->text(), label->palette().color(QPalette::WindowText),
            Find<QPushButton>(form, "TabSheet4", "Button14")->isEnabled(),
            Find<QPushButton>(form, "TabSheet4", "Button15")->isEnabled()};
}

inline void VerifyOpen(TForm1& form) {
    const PortDisplay display = PortTabShows(form);
    QCOMPARE(display.text, QStringLiteral("Порт включен"));
    QCOMPARE(display.colour, QColor(Qt::red));
    QVERIFY(!display.onEnabled);
    QVERIFY(display.offEnabled);
}

inline void VerifyClosed(TForm1& form) {
    const PortDisplay display = PortTabShows(form);
    QCOMPARE(display.text, QStringLiteral("Порт выключен"));
    QCOMPARE(display.colour, QColor(Qt::black));
    QVERIFY(display.onEnabled);
    QVERIFY(!display.offEnabled);
}
