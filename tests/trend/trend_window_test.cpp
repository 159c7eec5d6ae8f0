// "График регистрации" beside a registration run on simulated transmitters: the lines of the
// ticked slots and no others, the legend's tick boxes, a silent slot's gap, a new run's new
// trend, and the CSV and PNG export, also to a file that cannot be written. Over a trend the test
// feeds itself: zoom and pan by mouse and keys, the drop-down for commands 1 and 33, the
// quantity and unit on the value axis and the tick boxes, and the reading under the pointer.

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QFile>
#include <QLineEdit>
#include <QLineSeries>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>
#include <map>

#include "hart/time_text.h"
#include "tests/support/expectations.h"
#include "tests/support/program_fixture.h"
#include "tests/support/tab_drivers.h"
#include "tests/support/warnings.h"
#include "trend/trend_window.h"

namespace {

// The trend window of a running program, opened from the main menu.
struct TrendDriver {
    explicit TrendDriver(ProgramFixture& program) : program(program) {
        program.Form().findChild<QAction*>(QStringLiteral("TrendMenuItem"))->trigger();
        window = program.Form().findChild<trend::TrendWindow*>(QStringLiteral("TrendWindow"));
        chart = window->findChild<QChartView*>(QStringLiteral("TrendChartView"))->chart();
    }

    // Points drawn of each slot's line, and its pieces (line series and dots).
    struct Drawn {
        int points = 0;
        int pieces = 0;
    };
    std::map<int, Drawn> DrawnBySlot() const {
        std::map<int, Drawn> drawn;
        for (QAbstractSeries* series : chart->series()) {
            const auto* points = static_cast<QXYSeries*>(series);
            if (series->isVisible() && points->count() > 0) {
                Drawn& slot = drawn[series->name().section(u'№', 1).toInt()];
                slot.points += static_cast<int>(points->count());
                slot.pieces += series->type() == QAbstractSeries::SeriesTypeLine
                                   ? 1
                                   : static_cast<int>(points->count());
            }
        }
        return drawn;
    }
    std::vector<int> DrawnSlots() const {
        std::vector<int> numbers;
        for (const auto& [slot, drawn] : DrawnBySlot()) {
            numbers.push_back(slot);
        }
        return numbers;
    }
    bool AllDrawnWithAtLeast(int points) const {
        const auto drawn = DrawnBySlot();
        return std::all_of(drawn.begin(), drawn.end(),
                           [points](const auto& slot) { return slot.second.points >= points; });
    }
    // The range of the values drawn.
    std::pair<double, double> DrawnRange() const {
        std::pair range{std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
        for (QAbstractSeries* series : chart->series()) {
            for (const QPointF& point : static_cast<QXYSeries*>(series)->points()) {
                range = {std::min(range.first, point.y()), std::max(range.second, point.y())};
            }
        }
        return range;
    }
    QCheckBox* LegendBox(int slot) const {
        return window->findChild<QCheckBox*>(QStringLiteral("TrendSlotBox%1").arg(slot));
    }
    // Confirms `path` in the save dialog `dialog` when it comes up.
    void AnswerSaveDialog(const char* dialog, const QString& path) {
        program.Modals().OnDialog(QLatin1String(dialog), [path](QDialog& shown) {
            shown.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            shown.accept();
        });
    }

    ProgramFixture& program;
    trend::TrendWindow* window;
    QChart* chart;
};

constexpr trend::Milliseconds kT0 = 1'700'000'000'000;  // 14.11.2023
constexpr trend::Milliseconds kSecond = 1000;

// The window over a trend the test feeds as the decoders would, on a clock of its own.
struct FedTrend {
    FedTrend() {
        window.resize(1000, 600);
        window.show();
        view = window.findChild<QChartView*>(QStringLiteral("TrendChartView"));
        chart = view->chart();
        timeAxis = static_cast<QDateTimeAxis*>(chart->axes(Qt::Horizontal).constFirst());
        valueAxis = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).constFirst());
        variableList = window.findChild<QComboBox*>(QStringLiteral("TrendVariableList"));
    }

    // An answer of `command` from `slot` at `second` after kT0.
    void Read(int slot, trend::Milliseconds second, std::uint8_t command,
              std::span<const float> values, std::span<const std::uint8_t> units = {}) {
        now = kT0 + second * kSecond;
        recorder.RegistrationReading(static_cast<std::uint8_t>(slot), command, values, units);
    }
    // Command 1 answers from `slot` at seconds 0..1000, the value the second, in kPa.
    void ReadThousandSeconds(int slot) {
        for (trend::Milliseconds second = 0; second <= 1000; ++second) {
            Read(slot, second, 1, std::array{static_cast<float>(second)},
                 std::array<std::uint8_t, 1>{2});
        }
    }
    // The time axis's span in seconds after kT0.
    std::pair<double, double> Shown() const {
        const auto seconds = [](const QDateTime& time) {
            return static_cast<double>(time.toMSecsSinceEpoch() - kT0) / kSecond;
        };
        return {seconds(timeAxis->min()), seconds(timeAxis->max())};
    }
    // Where the chart draws (time, value), in the view's pixels.
    QPoint PixelOf(trend::Milliseconds second, double value) const {
        const QList<QAbstractSeries*> all = chart->series();
        const auto drawn = std::find_if(
            all.begin(), all.end(), [](QAbstractSeries* series) { return series->isVisible(); });
        const QPointF inChart = chart->mapToPosition(
            QPointF(static_cast<double>(kT0 + second * kSecond), value), *drawn);
        return view->mapFromScene(chart->mapToScene(inChart));
    }
    // A point of the plot `share` of its width from the left, halfway up.
    QPoint PlotPoint(double share) const {
        const QRectF plot = chart->plotArea();
        return view->mapFromScene(
            chart->mapToScene(QPointF(plot.left() + share * plot.width(), plot.center().y())));
    }
    // The pointer rests at `position` of the view.
    void RestPointer(QPoint position) const {
        QHelpEvent rest(QEvent::ToolTip, position, view->viewport()->mapToGlobal(position));
        QApplication::sendEvent(view->viewport(), &rest);
    }
    QCheckBox* SlotBox(int slot) const {
        return window.findChild<QCheckBox*>(QStringLiteral("TrendSlotBox%1").arg(slot));
    }

    trend::Milliseconds now = kT0;
    trend::TrendRecorder recorder{[this] { return now; }};
    trend::TrendWindow window{recorder};
    QChartView* view;
    QChart* chart;
    QDateTimeAxis* timeAxis;
    QValueAxis* valueAxis;
    QComboBox* variableList;
};

// Compares a shown span in seconds, to within what a pixel of the pointer stands for.
bool Near(std::pair<double, double> shown, std::pair<double, double> expected) {
    return std::abs(shown.first - expected.first) < 3 &&
           std::abs(shown.second - expected.second) < 3;
}

// Starts registration of `slot` alone; true once the window shows two of its points.
bool RunShowingTwoPoints(RegistrationTabDriver& registration, const TrendDriver& trend, int slot) {
    registration.TickSlots({slot});
    registration.Toggle();
    return QTest::qWaitFor([&] { return trend.DrawnBySlot()[slot].points >= 2; }, kPatienceMs);
}

}  // namespace

class TrendWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void linesOfTheTickedSlotsOnly();
    void silenceLeavesAGapAndStartBeginsANewTrend();
    void exportToFilesAndToAFileThatCannotBeWritten();
    void mouseZoomsAndPans();
    void keysZoomAndPan_data();
    void keysZoomAndPan();
    void variableListAndUnits();
    void pointingAtALineShowsItsReading();
};

void TrendWindowTest::linesOfTheTickedSlotsOnly() {
    // Transmitter 4 answers with wrong checksums only: it has no point to show.
    ProgramFixture program({QStringLiteral("--badsum"), QStringLiteral("4")});
    RegistrationTabDriver registration(program);
    registration.TickSlots({2, 4, 5, 7});
    registration.Toggle();
    TrendDriver trend(program);
    QVERIFY(trend.window->isVisible());
    QCOMPARE(trend.window->windowTitle(), QStringLiteral("График регистрации"));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    QTRY_VERIFY_WITH_TIMEOUT(
        trend.DrawnSlots() == (std::vector<int>{2, 5, 7}) && trend.AllDrawnWithAtLeast(3),
        kPatienceMs);
    QCOMPARE(registration.Cell(registration.RowOf(4), 4), kNotReliable);
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        QCOMPARE(trend.LegendBox(slot)->isVisibleTo(trend.window),
                 slot == 2 || slot == 5 || slot == 7);
    }
    trend.LegendBox(5)->click();
    QTRY_COMPARE(trend.DrawnSlots(), (std::vector<int>{2, 7}));
    trend.LegendBox(5)->click();
    QTRY_COMPARE(trend.DrawnSlots(), (std::vector<int>{2, 5, 7}));

    // Closing the window loses nothing: opened again, it shows the lines at once.
    trend.window->close();
    TrendDriver reopened(program);
    QCOMPARE(reopened.window, trend.window);
    QTRY_COMPARE(reopened.DrawnSlots(), (std::vector<int>{2, 5, 7}));
}

void TrendWindowTest::silenceLeavesAGapAndStartBeginsANewTrend() {
    ProgramFixture program;
    RegistrationTabDriver registration(program);
    TrendDriver trend(program);
    QVERIFY(RunShowingTwoPoints(registration, trend, 3));
    QVERIFY(program.Control(QStringLiteral("silent 3")));
    QTRY_COMPARE_WITH_TIMEOUT(registration.Cell(registration.RowOf(3), 4), kNoAnswer, kPatienceMs);
    QVERIFY(program.Control(QStringLiteral("normal 3")));
    QTRY_VERIFY_WITH_TIMEOUT(trend.DrawnBySlot()[3].pieces >= 2, kPatienceMs);

    // Stopped and started again: the trend begins anew, and its line with it.
    registration.Toggle();
    const QDateTime restarted = QDateTime::currentDateTime();
    registration.Toggle();
    const auto* timeAxis =
        static_cast<QDateTimeAxis*>(trend.chart->axes(Qt::Horizontal).constFirst());
    QTRY_VERIFY_WITH_TIMEOUT(timeAxis->min() >= restarted && trend.DrawnBySlot()[3].points >= 1,
                             kPatienceMs);
    QCOMPARE(trend.DrawnBySlot()[3].pieces, 1);
}

void TrendWindowTest::exportToFilesAndToAFileThatCannotBeWritten() {
    QTemporaryDir directory;
    ProgramFixture program;
    RegistrationTabDriver registration(program);
    // Command 3: the drop-down chooses the current (7 to 17 mA from the simulator) or one of the
    // variables (the first, the pressure, below 2 kgf/cm2).
    program.Find<QComboBox>("TabSheet2", "ComboBox2")->setCurrentIndex(1);
    TrendDriver trend(program);
    QVERIFY(RunShowingTwoPoints(registration, trend, 1));
    auto* variable = trend.window->findChild<QComboBox*>(QStringLiteral("TrendVariableList"));
    QVERIFY(variable->isEnabled());
    QCOMPARE(variable->currentText(), QStringLiteral("Переменная 1"));
    QVERIFY(trend.DrawnRange().second < 2);
    variable->setCurrentIndex(0);
    QTRY_VERIFY(trend.DrawnRange().first > 5);

    const QString csvPath = directory.filePath(QStringLiteral("trend.csv"));
    trend.AnswerSaveDialog("TrendCsvDialog", csvPath);
    trend.window->findChild<QPushButton*>(QStringLiteral("TrendSaveCsvButton"))->click();
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray text = csv.readAll();
    QVERIFY(text.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(text.mid(3)).split(QStringLiteral("\r\n"));
    QVERIFY(lines.size() >= 4);
    QCOMPARE(lines.first(), QStringLiteral("Время,Датчик,Адрес,Значение,Единица"));
    for (const QString& line : lines.mid(1, lines.size() - 2)) {
        const QStringList fields = line.split(u',');
        QCOMPARE(fields.size(), 5);
        QCOMPARE(fields.mid(1, 2), (QStringList{"1", "1"}));
        bool number = false;
        QVERIFY2(fields[3].toDouble(&number) > 5 && number, qPrintable(line));
        QCOMPARE(fields[4], QStringLiteral("мА"));
    }

    const QString imagePath = directory.filePath(QStringLiteral("trend.png"));
    trend.AnswerSaveDialog("TrendImageDialog", imagePath);
    trend.window->findChild<QPushButton*>(QStringLiteral("TrendSaveImageButton"))->click();
    const QImage image(imagePath);
    QCOMPARE(image.size(), trend.window->findChild<QChartView*>()->size());

    // Where a file is in the way of a directory nothing can be written: a message box says so,
    // and the window keeps what it shows.
    const QString blocked = csvPath + QStringLiteral("/trend");
    QVERIFY(!trend.window->SaveCsv(blocked + QStringLiteral(".csv")));
    QVERIFY(!trend.window->SaveImage(blocked + QStringLiteral(".png")));
    const QStringList messages = program.Modals().TakeMessages();
    QCOMPARE(messages.size(), 2);
    for (const QString& message : messages) {
        QVERIFY2(message.startsWith(QStringLiteral("Не удалось сохранить файл ") + blocked),
                 qPrintable(message));
    }
    QVERIFY(trend.DrawnBySlot()[1].points >= 2);
    QVERIFY(trend.window->SaveCsv(csvPath));
}

// The wheel zooms about the pointer, a drag moves the span with the pointer, a double click shows
// everything again.
void TrendWindowTest::mouseZoomsAndPans() {
    FedTrend trend;
    trend.ReadThousandSeconds(1);
    QTRY_COMPARE(trend.Shown(), (std::pair{0.0, 1000.0}));

    const QPoint quarter = trend.PlotPoint(0.25);
    QWheelEvent notch(quarter, trend.view->viewport()->mapToGlobal(quarter), {}, QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(trend.view->viewport(), &notch);
    QTRY_VERIFY2(Near(trend.Shown(), {50, 850}), qPrintable(QString::number(trend.Shown().first)));

    QTest::mousePress(trend.view->viewport(), Qt::LeftButton, {}, trend.PlotPoint(0.5));
    QTest::mouseMove(trend.view->viewport(), trend.PlotPoint(0.75));
    QTest::mouseRelease(trend.view->viewport(), Qt::LeftButton, {}, trend.PlotPoint(0.75));
    QTRY_VERIFY2(Near(trend.Shown(), {-150, 650}),
                 qPrintable(QString::number(trend.Shown().first)));

    QTest::mouseDClick(trend.view->viewport(), Qt::LeftButton, {}, trend.PlotPoint(0.5));
    QTRY_COMPARE(trend.Shown(), (std::pair{0.0, 1000.0}));
}

void TrendWindowTest::keysZoomAndPan_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<double>("from");  // seconds after the first reading
    QTest::addColumn<double>("to");
    QTest::newRow("+ zooms in about the middle") << QList<int>{Qt::Key_Plus} << 100.0 << 900.0;
    QTest::newRow("= is + without Shift") << QList<int>{Qt::Key_Equal} << 100.0 << 900.0;
    QTest::newRow("- zooms out about the middle") << QList<int>{Qt::Key_Minus} << -125.0 << 1125.0;
    QTest::newRow("Left shows earlier") << QList<int>{Qt::Key_Left} << -100.0 << 900.0;
    QTest::newRow("Right shows later") << QList<int>{Qt::Key_Right} << 100.0 << 1100.0;
    QTest::newRow("Home shows everything")
        << QList<int>{Qt::Key_Plus, Qt::Key_Left, Qt::Key_Home} << 0.0 << 1000.0;
}

void TrendWindowTest::keysZoomAndPan() {
    QFETCH(QList<int>, keys);
    QFETCH(double, from);
    QFETCH(double, to);
    FedTrend trend;
    trend.ReadThousandSeconds(1);
    QTRY_COMPARE(trend.Shown(), (std::pair{0.0, 1000.0}));
    for (const int key : keys) {
        QTest::keyClick(trend.view, static_cast<Qt::Key>(key));
        QTest::qWait(1);  // the refresh that follows each key
    }
    QTRY_COMPARE(trend.Shown(), (std::pair{from, to}));
}

// Command 1 carries one value: the list is off and keeps what was chosen. Command 33 carries no
// current: the list offers only the variables, and a choice of the current moves to the first.
void TrendWindowTest::variableListAndUnits() {
    FedTrend trend;
    const auto offers = [&trend] {
        auto* items = qobject_cast<QStandardItemModel*>(trend.variableList->model());
        QStringList texts;
        for (int row = 0; row < items->rowCount(); ++row) {
            if (items->item(row)->isEnabled()) {
                texts << items->item(row)->text();
            }
        }
        return texts;
    };
    const QStringList variables{QStringLiteral("Переменная 1"), QStringLiteral("Переменная 2"),
                                QStringLiteral("Переменная 3"), QStringLiteral("Переменная 4")};
    trend.variableList->setCurrentIndex(0);
    const std::array<std::uint8_t, 4> kilopascals{2, 2, 2, 2};
    trend.Read(1, 0, 33, std::array{1.0f, 2.0f, 3.0f, 4.0f}, kilopascals);
    QTRY_COMPARE(trend.variableList->currentText(), QStringLiteral("Переменная 1"));
    QVERIFY(trend.variableList->isEnabled());
    QCOMPARE(offers(), variables);
    trend.variableList->setCurrentIndex(3);
    trend.Read(1, 1, 33, std::array{1.0f, 2.0f, 3.0f, 4.0f}, kilopascals);
    QTRY_COMPARE(trend.valueAxis->titleText(), QStringLiteral("Переменная 3, кПа"));
    QCOMPARE(trend.variableList->currentText(), QStringLiteral("Переменная 3"));

    trend.recorder.RegistrationStarted();
    trend.Read(1, 2, 1, std::array{7.5f}, std::array<std::uint8_t, 1>{1});
    QTRY_VERIFY(!trend.variableList->isEnabled());
    QCOMPARE(trend.variableList->currentText(), QStringLiteral("Переменная 3"));
    QCOMPARE(trend.valueAxis->titleText(), QStringLiteral("Давление, МПа"));

    // The value axis names the quantity, and its unit where every slot's answers name the same
    // one; where they differ, each tick box names its slot's.
    trend.recorder.RegistrationStarted();
    const std::array<std::uint8_t, 1> kilopascal{2};
    const std::array<std::uint8_t, 1> megapascal{1};
    trend.Read(1, 0, 1, std::array{1.0f}, kilopascal);
    trend.Read(2, 0, 1, std::array{2.0f}, kilopascal);
    QTRY_COMPARE(trend.valueAxis->titleText(), QStringLiteral("Давление, кПа"));
    QCOMPARE(trend.SlotBox(1)->text(), QStringLiteral("Датчик №1"));
    trend.Read(2, 1, 1, std::array{0.002f}, megapascal);
    QTRY_COMPARE(trend.valueAxis->titleText(), QStringLiteral("Давление"));
    QCOMPARE(trend.SlotBox(1)->text(), QStringLiteral("Датчик №1, кПа"));
    QCOMPARE(trend.SlotBox(2)->text(), QStringLiteral("Датчик №2, МПа"));

    // Command 3 names no unit but those of the current and the temperature.
    trend.recorder.RegistrationStarted();
    trend.Read(1, 2, 3, std::array{12.0f, 1.5f, 1234.0f, 567.0f, 23.5f});
    trend.Read(2, 2, 3, std::array{4.0f, 0.5f, 1234.0f, 567.0f, 22.5f});
    trend.variableList->setCurrentIndex(0);
    QTRY_COMPARE(trend.valueAxis->titleText(), QStringLiteral("Ток, мА"));
    trend.variableList->setCurrentIndex(1);
    QTRY_COMPARE(trend.valueAxis->titleText(), QStringLiteral("Давление"));
    trend.variableList->setCurrentIndex(4);
    QTRY_COMPARE(trend.valueAxis->titleText(), QStringLiteral("Температура микропроцессора, °C"));
    QCOMPARE(trend.SlotBox(2)->text(), QStringLiteral("Датчик №2"));

    // Command 33 names a unit for each group.
    trend.recorder.RegistrationStarted();
    trend.Read(1, 3, 33, std::array{1.0f, 2.0f, 3.0f, 4.0f},
               std::array<std::uint8_t, 4>{2, 0, 39, 1});
    QTRY_COMPARE(trend.valueAxis->titleText(), QStringLiteral("Переменная 4, МПа"));
    trend.variableList->setCurrentIndex(3);
    QTRY_COMPARE(trend.valueAxis->titleText(), QStringLiteral("Переменная 3, 39"));
}

// The tool tip names the reading nearest the pointer among the lines drawn; away from them there
// is none.
void TrendWindowTest::pointingAtALineShowsItsReading() {
    FedTrend trend;
    // Ten seconds apart, so that each reading stands some pixels away from the next.
    for (trend::Milliseconds second = 0; second <= 1000; second += 10) {
        trend.Read(1, second, 1, std::array{static_cast<float>(second)},
                   std::array<std::uint8_t, 1>{2});
        trend.Read(2, second, 1, std::array{500.0f}, std::array<std::uint8_t, 1>{1});
    }
    QTRY_COMPARE(trend.valueAxis->titleText(), QStringLiteral("Давление"));
    // The plot area makes room for the axis's title in a layout pass of its own.
    QApplication::sendPostedEvents();
    QTRY_COMPARE(trend.PixelOf(0, 0).x(), trend.PlotPoint(0).x());

    QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
    trend.RestPointer(trend.PixelOf(250, 500) + QPoint(1, 1));
    const QString time = TimeAndDateText(QDateTime::fromMSecsSinceEpoch(kT0 + 250 * kSecond));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(),
             QStringLiteral("Датчик №2, адрес 2\n%1\nДавление: 500 МПа").arg(time));

    trend.RestPointer(trend.PixelOf(700, 700));
    QTRY_COMPARE(QToolTip::text(),
                 QStringLiteral("Датчик №1, адрес 1\n%1\nДавление: 700 кПа")
                     .arg(TimeAndDateText(QDateTime::fromMSecsSinceEpoch(kT0 + 700 * kSecond))));

    trend.RestPointer(trend.PixelOf(100, 900));
    QTRY_VERIFY(!QToolTip::isVisible());
}

QTEST_MAIN(TrendWindowTest)
#include "trend_window_test.moc"
