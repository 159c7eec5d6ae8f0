// "График регистрации" beside a registration run on simulated transmitters: the lines of the
// ticked slots and no others, the legend's tick boxes, a silent slot's gap, a new run's new
// trend, and the CSV and PNG export, also to a file that cannot be written.

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QFile>
#include <QLineEdit>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QTest>
#include <map>

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
    QCOMPARE(lines.first(), QStringLiteral("Время,Датчик,Адрес,Значение"));
    for (const QString& line : lines.mid(1, lines.size() - 2)) {
        const QStringList fields = line.split(u',');
        QCOMPARE(fields.size(), 4);
        QCOMPARE(fields.mid(1, 2), (QStringList{"1", "1"}));
        bool number = false;
        QVERIFY2(fields[3].toDouble(&number) > 5 && number, qPrintable(line));
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

QTEST_MAIN(TrendWindowTest)
#include "trend_window_test.moc"
