// The parameter dialogs driven as the operator drives them: controls found by objectName, modal
// loops and message boxes answered through the active modal widget.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

#include "commands/damping_dialog.h"
#include "commands/fixed_current_dialog.h"
#include "commands/poll_address_dialog.h"
#include "commands/range_dialog.h"
#include "commands/units_dialog.h"
#include "commands/variables_dialog.h"
#include "tests/support/expectations.h"
#include "tests/support/modal_driver.h"
#include "tests/support/warnings.h"
#include "ui/pie_gauge.h"
#include "ui/radio_group.h"
#include "ui/up_down.h"

namespace {

const QString kCurrentWarning = QStringLiteral("Значение тока лежит в диапазоне от 4 мА до 20 мА");
const QString kErrorReport = QStringLiteral("ApplicationErrorReport");

// Shows `dialog` modally, runs `whileOpen` inside its modal loop and returns the dialog's result.
// A dialog still open after a generous bound is closed with -1, so a fault fails the test rather
// than hanging it.
int RunModal(QDialog& dialog, const std::function<void()>& whileOpen) {
    QTimer::singleShot(0, &dialog, [&] {
        QTRY_VERIFY(dialog.isVisible());
        whileOpen();
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &dialog, [&] { dialog.done(-1); });
    giveUp.start(kPatienceMs);
    return dialog.exec();
}

using NewDialog = std::function<std::unique_ptr<TParameterDialog>(QWidget* parent)>;

template <class Dialog>
NewDialog Make() {
    return [](QWidget* parent) { return std::make_unique<Dialog>(parent); };
}

// How many of the image's pixels are painted exactly in the slice colour.
int SlicePixels(const QImage& image, const QColor& slice) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == slice) {
                ++count;
            }
        }
    }
    return count;
}

}  // namespace

Q_DECLARE_METATYPE(NewDialog)

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    // Any warning fails, except the offscreen platform's note that it ignores the size hints of a
    // fixed-size window.
    void init() { FailOnUnexpectedWarnings(); }

    void fixedCurrentCheckOnOk_data();
    void fixedCurrentCheckOnOk();
    void fixedCurrentStartsFromFourOnEveryShowing();
    void onlyOkClosesAndPlacement_data();
    void onlyOkClosesAndPlacement();
    void dampingTrackBarDrivesLabelAndGauge_data();
    void dampingTrackBarDrivesLabelAndGauge();
    void gaugePaintsSliceClockwiseFromTwelve_data();
    void gaugePaintsSliceClockwiseFromTwelve();
    void variableChoicesPersistAcrossShowings();
    void upDownSteps_data();
    void upDownSteps();
    void radioGroupChoice();
};

void DialogsTest::fixedCurrentCheckOnOk_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("isErrorReport");
    QTest::addColumn<int>("result");

    const int ok = QDialog::Accepted;
    const int warned = QDialog::Rejected;
    const QString notAnInteger = QStringLiteral("'%1' is not a valid integer value");
    QTest::newRow("20 is the top") << "20" << QString() << false << ok;
    QTest::newRow("4 is the bottom") << "4" << QString() << false << ok;
    QTest::newRow("fraction with comma") << "12,5" << QString() << false << ok;
    QTest::newRow("fraction with dot") << "12.5" << QString() << false << ok;
    QTest::newRow("fraction just below 20") << "19,99" << QString() << false << ok;
    QTest::newRow("0 switches off") << "0" << QString() << false << ok;
    QTest::newRow("20,1 above") << "20,1" << kCurrentWarning << false << warned;
    QTest::newRow("20.0 has a fraction") << "20.0" << kCurrentWarning << false << warned;
    QTest::newRow("3,9 has the whole 3") << "3,9" << kCurrentWarning << false << warned;
    QTest::newRow("0,0 is not 0") << "0,0" << kCurrentWarning << false << warned;
    QTest::newRow("21") << "21" << kCurrentWarning << false << warned;
    QTest::newRow("negative") << "-5" << kCurrentWarning << false << warned;
    QTest::newRow("comma before dot") << "5,20.9" << QString() << false << ok;
    QTest::newRow("letters") << "abc" << notAnInteger.arg("abc") << true << ok;
    QTest::newRow("letters before separator") << "1x,5" << notAnInteger.arg("1x") << true << ok;
    QTest::newRow("empty") << "" << notAnInteger.arg("") << true << ok;
    QTest::newRow("nothing before separator") << ",5" << notAnInteger.arg("") << true << ok;
}

void DialogsTest::fixedCurrentCheckOnOk() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(bool, isErrorReport);
    QFETCH(int, result);

    TForm9 dialog(nullptr);
    ModalDriver answerer;
    const int closedWith = RunModal(dialog, [&] {
        dialog.LabeledEdit1->setText(text);
        QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
    });

    QCOMPARE(closedWith, result);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(answerer.Messages().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(answerer.Messages()[0], message);
        QCOMPARE(answerer.MessageBoxNames()[0] == kErrorReport, isErrorReport);
    }
    // The dialog never alters what the operator entered.
    QCOMPARE(dialog.LabeledEdit1->text(), text);
}

void DialogsTest::fixedCurrentStartsFromFourOnEveryShowing() {
    TForm9 dialog(nullptr);
    ModalDriver answerer;
    QString afterRepaint;
    RunModal(dialog, [&] {
        dialog.LabeledEdit1->clear();
        QTest::keyClicks(dialog.LabeledEdit1, QStringLiteral("12"));
        // Repainting while the operator types must not touch the entry.
        dialog.repaint();
        afterRepaint = dialog.LabeledEdit1->text();
        QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
    });
    QCOMPARE(afterRepaint, QStringLiteral("12"));

    // The switch-off button puts 0 and leaves the dialog open.
    QString shown;
    QString afterUp;
    QString afterSwitchOff;
    bool openAfterSwitchOff = false;
    const int closedWith = RunModal(dialog, [&] {
        shown = dialog.LabeledEdit1->text();
        QTest::mouseClick(dialog.UpDown1->findChild<QToolButton*>(QStringLiteral("UpButton")),
                          Qt::LeftButton);
        afterUp = dialog.LabeledEdit1->text();
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        afterSwitchOff = dialog.LabeledEdit1->text();
        openAfterSwitchOff = dialog.isVisible();
        QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
    });
    QCOMPARE(shown, QStringLiteral("4"));
    QCOMPARE(afterUp, QStringLiteral("5"));
    QCOMPARE(afterSwitchOff, QStringLiteral("0"));
    QVERIFY(openAfterSwitchOff);
    QCOMPARE(closedWith, int(QDialog::Accepted));
    QCOMPARE(dialog.LabeledEdit1->text(), QStringLiteral("0"));
    QVERIFY(answerer.Messages().isEmpty());
}

void DialogsTest::onlyOkClosesAndPlacement_data() {
    QTest::addColumn<QString>("className");
    QTest::addColumn<NewDialog>("newDialog");
    QTest::addColumn<bool>("centredOnScreen");

    QTest::newRow("poll address") << "TForm3" << Make<TForm3>() << false;
    QTest::newRow("variables") << "TForm5" << Make<TForm5>() << false;
    QTest::newRow("damping") << "TForm6" << Make<TForm6>() << false;
    QTest::newRow("range") << "TForm7" << Make<TForm7>() << false;
    QTest::newRow("fixed current") << "TForm9" << Make<TForm9>() << true;
    QTest::newRow("units") << "TForm10" << Make<TForm10>() << false;
}

void DialogsTest::onlyOkClosesAndPlacement() {
    QFETCH(QString, className);
    QFETCH(NewDialog, newDialog);
    QFETCH(bool, centredOnScreen);

    QWidget mainWindow;
    mainWindow.setGeometry(40, 30, 600, 400);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    const std::unique_ptr<TParameterDialog> dialog = newDialog(&mainWindow);
    QCOMPARE(dialog->objectName(), className);

    bool openAfterEscape = false;
    bool openAfterClose = false;
    QPoint centre;
    const int closedWith = RunModal(*dialog, [&] {
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        openAfterEscape = dialog->isVisible();
        dialog->close();
        openAfterClose = dialog->isVisible();
        centre = dialog->frameGeometry().center();
        QTest::mouseClick(dialog->BitBtn1, Qt::LeftButton);
    });

    QVERIFY(openAfterEscape);
    QVERIFY(openAfterClose);
    QCOMPARE(closedWith, int(QDialog::Accepted));
    QVERIFY(!dialog->isVisible());
    const QPoint expected = centredOnScreen ? dialog->screen()->availableGeometry().center()
                                            : mainWindow.frameGeometry().center();
    QVERIFY2((centre - expected).manhattanLength() <= 2,
             qPrintable(QStringLiteral("centre (%1,%2), expected (%3,%4)")
                            .arg(centre.x())
                            .arg(centre.y())
                            .arg(expected.x())
                            .arg(expected.y())));
}

void DialogsTest::dampingTrackBarDrivesLabelAndGauge_data() {
    QTest::addColumn<int>("position");

    QTest::newRow("17") << 17;
    QTest::newRow("top 50") << 50;
    QTest::newRow("2") << 2;
}

void DialogsTest::dampingTrackBarDrivesLabelAndGauge() {
    QFETCH(int, position);

    TForm6 dialog(nullptr);
    dialog.TrackBar1->setValue(position);

    QCOMPARE(dialog.Label2->text(), QString::number(position));
    QCOMPARE(dialog.Label2->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(dialog.Gauge1->Progress(), position);

    // Back to the bottom by keyboard, as the operator would.
    QTest::keyClick(dialog.TrackBar1, Qt::Key_Home);
    QCOMPARE(dialog.Label2->text(), QStringLiteral("1"));
    QCOMPARE(dialog.Gauge1->Progress(), 1);
}

void DialogsTest::gaugePaintsSliceClockwiseFromTwelve_data() {
    QTest::addColumn<int>("progress");
    QTest::addColumn<bool>("upperRightFilled");
    QTest::addColumn<bool>("upperLeftFilled");

    // Range 1..50: the share is (progress - 1) / 49. Upper right lies at 45 degrees clockwise
    // from twelve, upper left at 315.
    QTest::newRow("empty at the minimum") << 1 << false << false;
    QTest::newRow("a quarter") << 13 << true << false;
    QTest::newRow("half") << 25 << true << false;
    QTest::newRow("nine tenths") << 45 << true << true;
    QTest::newRow("full") << 50 << true << true;
    QTest::newRow("above the range is full") << 80 << true << true;
}

void DialogsTest::gaugePaintsSliceClockwiseFromTwelve() {
    QFETCH(int, progress);
    QFETCH(bool, upperRightFilled);
    QFETCH(bool, upperLeftFilled);

    TForm6 dialog(nullptr);
    TGauge* gauge = dialog.Gauge1;
    gauge->resize(101, 101);
    gauge->SetProgress(gauge->MaxValue());
    const int fullSlice = SlicePixels(gauge->grab().toImage(), gauge->ForeColor());
    QVERIFY(fullSlice > 5000);  // about pi * 50 * 50

    gauge->SetProgress(progress);
    const QImage image = gauge->grab().toImage();
    const double share =
        double(gauge->Progress() - gauge->MinValue()) / (gauge->MaxValue() - gauge->MinValue());
    const double painted = double(SlicePixels(image, gauge->ForeColor())) / fullSlice;
    QVERIFY2(qAbs(painted - share) < 0.03, qPrintable(QString::number(painted)));
    QCOMPARE(image.pixelColor(75, 25) == gauge->ForeColor(), upperRightFilled);
    QCOMPARE(image.pixelColor(25, 25) == gauge->ForeColor(), upperLeftFilled);
    // Lower left lies at 225 degrees; short of it the disc shows its background.
    QCOMPARE(image.pixelColor(25, 75), share > 0.625 ? gauge->ForeColor() : gauge->BackColor());
}

void DialogsTest::variableChoicesPersistAcrossShowings() {
    TForm5 dialog(nullptr);
    RunModal(dialog, [&] {
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(dialog.findChild<QComboBox*>(QStringLiteral("ComboBox3")),
                            Qt::Key_Down);
        }
        QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
    });

    QStringList shown;
    RunModal(dialog, [&] {
        for (const QComboBox* list :
             {dialog.ComboBox1, dialog.ComboBox2, dialog.ComboBox3, dialog.ComboBox4}) {
            shown << list->currentText();
        }
        QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
    });

    const QString first = QStringLiteral("Давление/Pressure");
    QCOMPARE(shown, QStringList({first, first, QStringLiteral("Udif"), first}));
}

void DialogsTest::upDownSteps_data() {
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("steps");  // u = up, d = down
    QTest::addColumn<bool>("byKeys");
    QTest::addColumn<QString>("result");

    // clang-format off
    QTest::newRow("up") << 4 << 20 << 4 << "4" << "u" << false << "5";
    QTest::newRow("down") << 0 << 255 << 3 << "3" << "d" << false << "2";
    QTest::newRow("stops at the maximum") << 4 << 20 << 19 << "19" << "uuu" << false << "20";
    QTest::newRow("stops at the minimum") << 4 << 20 << 4 << "4" << "dd" << false << "4";
    QTest::newRow("no wrap at the top") << 0 << 255 << 255 << "255" << "u" << false << "255";
    QTest::newRow("no wrap at the bottom") << 0 << 100 << 0 << "0" << "d" << false << "0";
    QTest::newRow("from the typed text") << 4 << 20 << 4 << "12" << "u" << false << "13";
    QTest::newRow("typed text above, clamped") << 4 << 20 << 4 << "99" << "d" << false << "19";
    QTest::newRow("typed text below, clamped") << 4 << 20 << 9 << "0" << "u" << false << "5";
    QTest::newRow("typed text with blanks") << 0 << 100 << 3 << " 40 " << "u" << false << "41";
    QTest::newRow("no number: from the position") << 4 << 20 << 7 << "abc" << "u" << false << "8";
    QTest::newRow("fraction is not a number") << 4 << 20 << 7 << "12,5" << "d" << false << "6";
    QTest::newRow("keys on a read-only field") << 0 << 255 << 10 << "10" << "uud" << true << "11";
    // clang-format on
}

void DialogsTest::upDownSteps() {
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, position);
    QFETCH(QString, text);
    QFETCH(QString, steps);
    QFETCH(bool, byKeys);
    QFETCH(QString, result);

    QWidget window;
    auto* field = new QLineEdit(&window);
    auto* arrows = new TUpDown(&window);
    arrows->SetRange(min, max);
    arrows->SetPosition(position);
    arrows->SetAssociate(field);
    QCOMPARE(field->text(), QString::number(position));
    field->setReadOnly(byKeys);
    field->setText(text);

    for (const QChar step : steps) {
        const bool up = step == u'u';
        if (byKeys) {
            QTest::keyClick(field, up ? Qt::Key_Up : Qt::Key_Down);
        } else {
            const char* name = up ? "UpButton" : "DownButton";
            QTest::mouseClick(arrows->findChild<QToolButton*>(QLatin1String(name)), Qt::LeftButton);
        }
    }

    QCOMPARE(field->text(), result);
    QCOMPARE(arrows->Position(), result.toInt());
}

void DialogsTest::radioGroupChoice() {
    TRadioGroup group(QStringLiteral("Единицы"), {QStringLiteral("a"), QStringLiteral("b")});
    group.show();
    QVERIFY(QTest::qWaitForWindowExposed(&group));
    QSignalSpy changes(&group, &TRadioGroup::ItemIndexChanged);
    QCOMPARE(group.ItemIndex(), -1);

    const QList<QRadioButton*> buttons = group.findChildren<QRadioButton*>();
    QCOMPARE(buttons.size(), 2);
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    QCOMPARE(group.ItemIndex(), 1);

    group.SetItemIndex(0);
    QCOMPARE(group.ItemIndex(), 0);
    QVERIFY(!buttons[1]->isChecked());

    group.SetItemIndex(5);  // outside the items: none chosen
    QCOMPARE(group.ItemIndex(), -1);
    QVERIFY(!buttons[0]->isChecked());

    group.SetItemIndex(-1);  // no change, no signal
    QCOMPARE(changes.size(), 3);
    QCOMPARE(changes[0][0].toInt(), 1);
    QCOMPARE(changes[1][0].toInt(), 0);
    QCOMPARE(changes[2][0].toInt(), -1);
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
