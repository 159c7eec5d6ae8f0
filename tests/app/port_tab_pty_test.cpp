// The port tab on pseudo-terminals: COM1 mapped to a device path, opened at start-up, switched off
// and on, a missing port and a port held by another opener refused.

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "serial/ser_comm.h"
#include "tests/app/port_display.h"
#include "tests/support/modal_driver.h"
#include "tests/support/pty_pair.h"
#include "tests/support/serial_test_support.h"
#include "tests/support/test_frames.h"
#include "tests/support/warnings.h"

namespace {

const QString kMissingPath = QStringLiteral("/nonexistent/tensovia-modem");

// Maps a COM name to a device path for the lifetime of the object.
class PortMapping {
public:
    PortMapping(const char* name, const QString& path) : variable_(QByteArray("TENSOVIA_") + name) {
        qputenv(variable_.constData(), path.toLocal8Bit());
    }
    ~PortMapping() { qunsetenv(variable_.constData()); }

private:
    QByteArray variable_;
};

}  // namespace

class PortTabPtyTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void startUpOnAPseudoTerminal();
    void portTabClosesAndReopens();
    void portHeldByAnotherOpener();
    void mappedPathShown();
};

void PortTabPtyTest::startUpOnAPseudoTerminal() {
    PtyPair modem;
    // Bytes on the line before the port is opened are never delivered.
    modem.Send({255, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    PortMapping com1("COM1", QString::fromStdString(modem.SlavePath()));
    ModalDriver modals;
    TForm1 form;
    QCOMPARE(modals.Messages(), QStringList());
    VerifyOpen(form);
    QVERIFY(form.Port().Active());
    QCOMPARE(form.State().receive.RxCount, 0);

    const auto answer = testframes::Response(1, 1, {12, 66, 202, 166, 102});
    modem.Send(answer);
    auto* memo = Find<QPlainTextEdit>(form, "TabSheet1", "Memo1");
    QTRY_COMPARE(memo->toPlainText(), QStringLiteral("Буфер приемника: Приняты все байты: 19"));
    const auto& rx = form.State().receive.RxBuf;
    QVERIFY(std::equal(answer.begin(), answer.end(), rx.begin() + 1));
}

void PortTabPtyTest::portTabClosesAndReopens() {
    PtyPair modem;
    PortMapping com1("COM1", QString::fromStdString(modem.SlavePath()));
    PortMapping com7("COM7", kMissingPath);
    ModalDriver modals;
    TForm1 form;
    Find<QPushButton>(form, "TabSheet4", "Button15")->click();
    VerifyClosed(form);
    QVERIFY(!form.Port().Active());
    // A missing port is refused; another can be chosen and opened.
    Find<QComboBox>(form, "TabSheet4", "ComboBox7")->setCurrentIndex(6);
    Find<QPushButton>(form, "TabSheet4", "Button14")->click();
    QCOMPARE(modals.TakeMessages(), QStringList{QStringLiteral("Ошибка инициализации порта")});
    VerifyClosed(form);
    Find<QComboBox>(form, "TabSheet4", "ComboBox7")->setCurrentIndex(0);
    form.State().receive.RxCount = 5;
    Find<QPushButton>(form, "TabSheet4", "Button14")->click();
    VerifyOpen(form);
    QVERIFY(form.Port().Active());
    QCOMPARE(form.State().receive.RxCount, 0);
    QCOMPARE(modals.Messages(), QStringList());
}

void PortTabPtyTest::portHeldByAnotherOpener() {
    PtyPair modem;
    PortMapping com1("COM1", QString::fromStdString(modem.SlavePath()));
    TestUiThread otherProgram;
    ser::TSerComm holder(otherProgram.Environment());
    holder.SetDeviceName("COM1");
    holder.Open();

    ModalDriver modals;
    TForm1 form;
    QCOMPARE(modals.TakeMessages(), QStringList{kStartUpWarning});
    VerifyClosed(form);
    Find<QPushButton>(form, "TabSheet4", "Button14")->click();
    QCOMPARE(modals.TakeMessages(), QStringList{QStringLiteral("Ошибка инициализации порта")});

    holder.Close();
    Find<QPushButton>(form, "TabSheet4", "Button14")->click();
    VerifyOpen(form);
}

void PortTabPtyTest::mappedPathShown() {
    PortMapping com1("COM1", kMissingPath);
    PortMapping com3("COM3", QStringLiteral("/dev/ttyUSB0"));
    ModalDriver modals;
    TForm1 form;
    auto* ports = Find<QComboBox>(form, "TabSheet4", "ComboBox7");
    auto* path = Find<QLabel>(form, "TabSheet4", "DevicePathLabel");
    QCOMPARE(path->text(), kMissingPath);
    ports->setCurrentIndex(2);
    QCOMPARE(path->text(), QStringLiteral("/dev/ttyUSB0"));
    ports->setCurrentIndex(9);
    QCOMPARE(path->text(), QStringLiteral("/dev/ttyS9"));
}

QTEST_MAIN(PortTabPtyTest)
#include "port_tab_pty_test.moc"
