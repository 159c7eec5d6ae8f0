// Start-up on a fake line: the window the operator finds, COM1 refused with its warning, a port
// that fails after opening closed again; Qt's own texts in Russian, tables that show their texts.

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "app/qt_translations.h"
#include "serial/platform/device_path.h"
#include "tests/app/port_display.h"
#include "tests/support/fake_serial_device.h"
#include "tests/support/find_control.h"
#include "tests/support/modal_driver.h"
#include "tests/support/warnings.h"
#include "ui/string_grid.h"
#include "ui/timer.h"

namespace {

// A line on which COM1 is missing.
std::shared_ptr<FakeSerialDevice> WithoutCOM1() {
    auto line = std::make_shared<FakeSerialDevice>();
    line->SetMissing(ser::platform::DevicePath("COM1"));
    return line;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void startUpWithoutCOM1();
    void openingThatFailsAfterOpenClosesThePort();
    void aboutBoxIsModalAndExitCloses();
    void tablesShowTheirTexts_data();
    void tablesShowTheirTexts();
};

void MainWindowTest::startUpWithoutCOM1() {
    // Qt's own texts in Russian; the program's own, checked below, stay as they are.
    const auto translations = InstallQtTranslations();
    QVERIFY(translations);
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
    ModalDriver modals;
    TForm1 form(WithoutCOM1());
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
    QCOMPARE(menu.size(), 4);
    QCOMPARE(menu[0]->text(), QStringLiteral("О программе"));
    QCOMPARE(menu[1]->text(), QStringLiteral("Выход"));
    QCOMPARE(menu[2]->text(), QStringLiteral("График"));
    QCOMPARE(menu[3]->text(), QStringLiteral("Поиск датчиков"));

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

void MainWindowTest::openingThatFailsAfterOpenClosesThePort() {
    // An adapter that opens but cannot move its modem lines.
    auto line = std::make_shared<FakeSerialDevice>();
    line->SetFailing(FakeSerialDevice::Record::Kind::Dtr, EINVAL);
    ModalDriver modals;
    TForm1 form(line);
    QCOMPARE(modals.TakeMessages(), QStringList{QStringLiteral("Ошибка инициализации порта")});
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

void MainWindowTest::aboutBoxIsModalAndExitCloses() {
    ModalDriver modals;
    TForm1 form(WithoutCOM1());
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
    QVERIFY(form.isVisible());
    form.findChild<QAction*>(QStringLiteral("N2"))->trigger();
    QVERIFY(!form.isVisible());
}

void MainWindowTest::tablesShowTheirTexts_data() {
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("grid");
    QTest::newRow("setup") << "TabSheet1"
                           << "StringGrid1";
    QTest::newRow("registration") << "TabSheet2"
                                  << "StringGrid2";
}

// Every title is read in full, in the bold face of the current cell's column too, and a cell's
// text stays on one line, and a short text does not narrow its column.
void MainWindowTest::tablesShowTheirTexts() {
    QFETCH(QString, tab);
    QFETCH(QString, grid);
    ModalDriver modals;
    TForm1 form(WithoutCOM1());
    auto* table = Find<TStringGrid>(form, qPrintable(tab), qPrintable(grid));
    QHeaderView* header = table->horizontalHeader();
    QFont bold = header->font();
    bold.setBold(true);
    const int headerMargin = header->style()->pixelMetric(QStyle::PM_HeaderMargin);
    const int cellMargin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    const QString longText = QStringLiteral("Считать первичную переменную 00:00:00 31.12.2099");
    for (int column = 0; column < 6; ++column) {
        const int width = table->columnWidth(column);
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
