// Start-up and the port tab: the window the operator finds, COM1 opened or refused with its
// warning, and switching ports on and off; Qt's own texts in Russian, tables that show their texts.

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "app/qt_translations.h"
#include "tests/serial/serial_test_support.h"
#include "tests/support/fake_serial_device.h"
#include "tests/support/find_control.h"
#include "tests/support/modal_driver.h"
#include "tests/support/test_frames.h"
#include "tests/support/warnings.h"
#include "ui/string_grid.h"
#include "ui/timer.h"

namespace {

const QString kStartUpWarning = QStringLiteral(
    "Порт COM1 уже используется! Выберите свободный \u0421\u041E\u041C-порт (вкладка \"Настройка "
    "\u0421\u041E\u041C-порта\") или закройте приложение, использующее порт \u0421\u041E\u041C1.");
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

struct PortDisplay {
    QString text;
    QColor colour;
    bool onEnabled;
    bool offEnabled;
};

PortDisplay Display(TForm1& form) {
    auto* label = Find<QLabel>(form, "TabSheet4", "Label16");
    return {label->text(), label->palette().color(QPalette::WindowText),
            Find<QPushButton>(form, "TabSheet4", "Button14")->isEnabled(),
            Find<QPushButton>(form, "TabSheet4", "Button15")->isEnabled()};
}

void VerifyOpen(TForm1& form) {
    const PortDisplay display = Display(form);
    QCOMPARE(display.text, QStringLiteral("Порт включен"));
    QCOMPARE(display.colour, QColor(Qt::red));
    QVERIFY(!display.onEnabled);
    QVERIFY(display.offEnabled);
}

void VerifyClosed(TForm1& form) {
    const PortDisplay display = Display(form);
    QCOMPARE(display.text, QStringLiteral("Порт выключен"));
    QCOMPARE(display.colour, QColor(Qt::black));
    QVERIFY(display.onEnabled);
    QVERIFY(!display.offEnabled);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void startUpWithoutCOM1();
    void startUpOnAPseudoTerminal();
    void portTabClosesAndReopens();
    void missingPortRefused();
    void portHeldByAnotherOpener();
    void openingThatFailsAfterOpenClosesThePort();
    void mappedPathShown();
    void aboutBoxIsModal();
    void exitClosesTheWindow();
    void qtTextsInRussian();
    void tablesShowTheirTexts_data();
    void tablesShowTheirTexts();
};

void MainWindowTest::startUpWithoutCOM1() {
    PortMapping com1("COM1", kMissingPath);
    ModalDriver modals;
    TForm1 form;
    QCOMPARE(modals.Messages(), QStringList{kStartUpWarning});
    VerifyClosed(form);

    QCOMPARE(form.windowTitle(), QStringLiteral("Программа работы с датчиками давления"));
    auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    QCOMPARE(pages->count(), 3);
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(pages->tabText(0), QStringLiteral("Режим настройки"));
    QCOMPARE(pages->tabText(1), QStringLiteral("Режим регистрации"));
    QCOMPARE(pages->tabText(2), QStringLiteral("Настройка C\u041E\u041C-порта"));
    const auto menu = form.menuBar()->actions();
    QCOMPARE(menu.size(), 3);
    QCOMPARE(menu[0]->text(), QStringLiteral("О программе"));
    QCOMPARE(menu[1]->text(), QStringLiteral("Выход"));
    QCOMPARE(menu[2]->text(), QStringLiteral("График"));

    const QStringList titles{QStringLiteral("Адрес датчика"), QStringLiteral("Команда"),
                             QStringLiteral("Описание"),      QStringLiteral("Параметр"),
                             QStringLiteral("Значение"),      QStringLiteral("Время выполнения")};
    for (const auto& [tab, name, rows] :
         {std::tuple{"TabSheet1", "StringGrid1", 2}, std::tuple{"TabSheet2", "StringGrid2", 255}}) {
        auto* grid = Find<TStringGrid>(form, tab, name);
        QCOMPARE(grid->RowCount(), rows);
        QCOMPARE(grid->columnCount(), 6);
        for (int column = 0; column < 6; ++column) {
            QCOMPARE(grid->Cell(0, column), titles[column]);
            QCOMPARE(grid->Cell(1, column), QString());
        }
    }
    auto* commands = Find<QComboBox>(form, "TabSheet1", "ComboBox1");
    QCOMPARE(commands->count(), 10);
    QCOMPARE(commands->currentText(), QStringLiteral("Считать первичную переменную"));
    QCOMPARE(Find<QComboBox>(form, "TabSheet2", "ComboBox2")->currentIndex(), 0);
    QCOMPARE(Find<QLineEdit>(form, "TabSheet1", "LabeledEdit4")->text(), QStringLiteral("0"));
    QCOMPARE(Find<QLineEdit>(form, "TabSheet1", "LabeledEdit15")->text(), QStringLiteral("3"));
    for (const char* shownOnly : {"ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6"}) {
        QVERIFY(!Find<QComboBox>(form, "TabSheet4", shownOnly)->isEnabled());
    }
    QCOMPARE(Find<QComboBox>(form, "TabSheet4", "ComboBox3")->currentText(),
             QStringLiteral("9600"));

    for (TTimer* timer : form.findChildren<TTimer*>()) {
        QVERIFY2(!timer->Enabled(), qPrintable(timer->objectName()));
    }
    QCOMPARE(form.findChildren<TTimer*>().size(), 12);
    for (const char* dialog :
         {"TForm3", "TForm5", "TForm6", "TForm7", "TForm9", "TForm10", "TForm21"}) {
        auto* window = form.findChild<QDialog*>(QLatin1String(dialog));
        QVERIFY2(window && !window->isVisible(), dialog);
    }
    const auto& session = form.State().session;
    QCOMPARE(session.Mode, hart::kModeNone);
    QCOMPARE(session.AttemptNo, 1);
    QCOMPARE(session.GridRow, 1);
    QCOMPARE(session.RegRow, 1);
    QCOMPARE(session.ResponseTimeout, 250);
    QVERIFY(!form.Port().Active());
}

void MainWindowTest::startUpOnAPseudoTerminal() {
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

void MainWindowTest::portTabClosesAndReopens() {
    PtyPair modem;
    PortMapping com1("COM1", QString::fromStdString(modem.SlavePath()));
    ModalDriver modals;
    TForm1 form;
    Find<QPushButton>(form, "TabSheet4", "Button15")->click();
    VerifyClosed(form);
    QVERIFY(!form.Port().Active());
    form.State().receive.RxCount = 5;
    Find<QPushButton>(form, "TabSheet4", "Button14")->click();
    VerifyOpen(form);
    QVERIFY(form.Port().Active());
    QCOMPARE(form.State().receive.RxCount, 0);
    QCOMPARE(modals.Messages(), QStringList());
}

void MainWindowTest::missingPortRefused() {
    PtyPair modem;
    PortMapping com1("COM1", QString::fromStdString(modem.SlavePath()));
    PortMapping com7("COM7", kMissingPath);
    ModalDriver modals;
    TForm1 form;
    Find<QPushButton>(form, "TabSheet4", "Button15")->click();
    Find<QComboBox>(form, "TabSheet4", "ComboBox7")->setCurrentIndex(6);
    Find<QPushButton>(form, "TabSheet4", "Button14")->click();
    QCOMPARE(modals.Messages(), QStringList{QStringLiteral("Ошибка инициализации порта")});
    VerifyClosed(form);
    // Another port can be chosen and opened.
    Find<QComboBox>(form, "TabSheet4", "ComboBox7")->setCurrentIndex(0);
    Find<QPushButton>(form, "TabSheet4", "Button14")->click();
    VerifyOpen(form);
}

void MainWindowTest::portHeldByAnotherOpener() {
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

void MainWindowTest::openingThatFailsAfterOpenClosesThePort() {
    // An adapter that opens but cannot move its modem lines.
    auto line = std::make_shared<FakeSerialDevice>();
    line->SetFailing(FakeSerialDevice::Record::Kind::Dtr, EINVAL);
    ModalDriver modals;
    TForm1 form(line);
    QCOMPARE(modals.TakeMessages(), QStringList{kStartUpWarning});
    VerifyClosed(form);
    QVERIFY(!line->IsOpen());
    // Pressed again and again, the button answers the same and the tab stays true to the port.
    for (int press = 0; press < 2; ++press) {
        Find<QPushButton>(form, "TabSheet4", "Button14")->click();
        QCOMPARE(modals.TakeMessages(), QStringList{QStringLiteral("Ошибка инициализации порта")});
        VerifyClosed(form);
        QVERIFY(!form.Port().Active());
        QVERIFY(!line->IsOpen());
    }
    line->SetFailing(FakeSerialDevice::Record::Kind::Dtr, 0);
    Find<QPushButton>(form, "TabSheet4", "Button14")->click();
    VerifyOpen(form);
    QVERIFY(line->Dtr() && !line->Rts());
}

void MainWindowTest::mappedPathShown() {
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

void MainWindowTest::aboutBoxIsModal() {
    PortMapping com1("COM1", kMissingPath);
    ModalDriver modals;
    TForm1 form;
    form.show();
    QString modalName;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        modalName = QApplication::activeModalWidget()->objectName();
        QApplication::activeModalWidget()->close();
    });
    form.findChild<QAction*>(QStringLiteral("N1"))->trigger();
    QCOMPARE(modalName, QStringLiteral("TForm21"));
    QCOMPARE(form.findChild<QDialog*>(QStringLiteral("TForm21"))->windowTitle(),
             QStringLiteral("О программе"));
}

void MainWindowTest::exitClosesTheWindow() {
    PortMapping com1("COM1", kMissingPath);
    ModalDriver modals;
    TForm1 form;
    form.show();
    QVERIFY(form.isVisible());
    form.findChild<QAction*>(QStringLiteral("N2"))->trigger();
    QVERIFY(!form.isVisible());
}

void MainWindowTest::qtTextsInRussian() {
    const auto translations = InstallQtTranslations();
    QVERIFY(translations);
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
    // The program's own texts stay as they are.
    PortMapping com1("COM1", kMissingPath);
    ModalDriver modals;
    TForm1 form;
    QCOMPARE(modals.Messages(), QStringList{kStartUpWarning});
    QCOMPARE(form.findChild<QAction*>(QStringLiteral("N2"))->text(), QStringLiteral("Выход"));
}

void MainWindowTest::tablesShowTheirTexts_data() {
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QList<int>>("leastWidths");
    QTest::newRow("setup") << "TabSheet1"
                           << "StringGrid1" << QList<int>{110, 52, 211, 211, 81, 104};
    QTest::newRow("registration") << "TabSheet2"
                                  << "StringGrid2" << QList<int>{110, 59, 144, 118, 125, 121};
}

// Every title is read in full, in the bold face of the current cell's column too, and a cell's
// text stays on one line; no column is narrower than it was given.
void MainWindowTest::tablesShowTheirTexts() {
    QFETCH(QString, tab);
    QFETCH(QString, grid);
    QFETCH(QList<int>, leastWidths);
    PortMapping com1("COM1", kMissingPath);
    ModalDriver modals;
    TForm1 form;
    auto* table = Find<TStringGrid>(form, qPrintable(tab), qPrintable(grid));
    QHeaderView* header = table->horizontalHeader();
    QFont bold = header->font();
    bold.setBold(true);
    const int headerMargin = header->style()->pixelMetric(QStyle::PM_HeaderMargin);
    const int cellMargin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    const QString longText = QStringLiteral("Считать первичную переменную 00:00:00 31.12.2099");
    for (int column = 0; column < 6; ++column) {
        const int width = table->columnWidth(column);
        QVERIFY(width >= leastWidths[column]);
        QVERIFY2(QFontMetrics(bold).horizontalAdvance(table->Cell(0, column)) + 2 * headerMargin <=
                     width,
                 qPrintable(table->Cell(0, column)));
        table->SetCell(1, column, QStringLiteral("1"));
        QCOMPARE(table->columnWidth(column), width);
        table->SetCell(1, column, longText);
        QVERIFY(table->fontMetrics().horizontalAdvance(longText) + 2 * cellMargin <
                table->columnWidth(column));
    }
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
