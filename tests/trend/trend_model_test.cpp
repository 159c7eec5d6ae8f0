// The trend without its window: what the registration reports make of each slot's readings and
// their units, the seven-day limit, the values the drop-down picks and what they measure, the
// reduction to the chart's width, the span of the time axis, the CSV text and the files saved.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <random>
#include <vector>

#include "tests/support/warnings.h"
#include "trend/line_reduction.h"
#include "trend/quantity.h"
#include "trend/shown_span.h"
#include "trend/trend_export.h"
#include "trend/trend_recorder.h"
#include "ui/file_saving.h"

using namespace trend;

namespace {

constexpr Milliseconds kT0 = 1'700'000'000'000;  // 14.11.2023
constexpr Milliseconds kSecond = 1000;
constexpr Milliseconds kDay = 24 * 3600 * kSecond;
constexpr Variable kFirst = Variable::First;

// The unit codes of an answer of command 1.
std::array<std::uint8_t, 1> Unit(std::uint8_t code) {
    return {code};
}

// The readings of a slot as text: times in seconds after kT0 with the first value, "|" a break.
QString Shape(const SlotReadings& readings) {
    QStringList shape;
    for (std::size_t i = 0; i < readings.Size(); ++i) {
        const Reading reading = readings.At(i);
        shape << (reading.IsBreak() ? QStringLiteral("|")
                                    : QStringLiteral("%1:%2")
                                          .arg((reading.time - kT0) / kSecond)
                                          .arg(reading.values[0]));
    }
    return shape.join(u' ');
}

// Readings of slot 1 at kT0 + i seconds, value `values[i]`; NaN stands for a break.
TrendHistory HistoryOf(const QList<float>& values) {
    TrendHistory history;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const Milliseconds time = kT0 + static_cast<Milliseconds>(i) * kSecond;
        if (std::isnan(values[i])) {
            history.AppendBreak(1, time);
        } else {
            history.AppendReading(1, time, 1, std::array{values[i]});
        }
    }
    return history;
}

}  // namespace

class TrendModelTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void recorderTurnsReportsIntoReadings();
    void sevenDaysKeptAndClockSetBack();
    void valueOfEachCommand_data();
    void valueOfEachCommand();
    void quantityOfEachCommand_data();
    void quantityOfEachCommand();
    void reductionKeepsEveryColumnsExtremes_data();
    void reductionKeepsEveryColumnsExtremes();
    void reductionBreaks_data();
    void reductionBreaks();
    void shownSpan();
    void csvText_data();
    void csvText();
    void csvTimesAcrossMidnightAndClockChanges();
    void failedSaveKeepsTheOldFile();
};

void TrendModelTest::recorderTurnsReportsIntoReadings() {
    TrendRecorder recorder;
    QSignalSpy changed(&recorder, &TrendRecorder::Changed);
    QSignalSpy restarted(&recorder, &TrendRecorder::Restarted);
    // Values with the first unit code: "value/unit".
    const auto shape = [&recorder](int slot) {
        QStringList kinds;
        const SlotReadings& readings = recorder.History().Readings(slot);
        for (std::size_t i = 0; i < readings.Size(); ++i) {
            const Reading reading = readings.At(i);
            kinds << (reading.IsBreak()
                          ? QStringLiteral("|")
                          : QStringLiteral("%1/%2").arg(reading.values[0]).arg(reading.units[0]));
        }
        return kinds.join(u' ');
    };
    recorder.RegistrationSilent(3);  // nothing to break yet
    recorder.RegistrationReading(3, 1, std::array{1.5f}, Unit(2));
    recorder.RegistrationReading(3, 1, {}, {});  // wrong checksum: no reading, the line breaks
    recorder.RegistrationSilent(3);              // broken already
    recorder.RegistrationReading(3, 1, std::array{2.5f}, Unit(1));
    recorder.RegistrationReading(3, 1, std::array{3.5f}, Unit(1));
    recorder.RegistrationSilent(3);
    recorder.RegistrationReading(0, 1, std::array{9.0f}, Unit(2));  // no slot has these addresses
    recorder.RegistrationReading(11, 1, std::array{9.0f}, Unit(2));
    recorder.RegistrationReading(10, 3, std::array{4.0f, 5.0f, 6.0f, 7.0f, 8.0f}, {});
    QCOMPARE(shape(3), QStringLiteral("1.5/2 | 2.5/1 3.5/1 |"));
    QCOMPARE(shape(10), QStringLiteral("4/0"));
    QCOMPARE(recorder.History().NewestReading(3)->values[0], 3.5f);
    QCOMPARE(recorder.History().NewestCommand(), 3);
    QVERIFY(!changed.isEmpty());

    recorder.RegistrationStarted();
    QCOMPARE(restarted.count(), 1);
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        QVERIFY(!recorder.History().HasReadings(slot));
    }
    QCOMPARE(recorder.History().Newest(), std::nullopt);
    QCOMPARE(recorder.History().NewestCommand(), 0);
}

void TrendModelTest::sevenDaysKeptAndClockSetBack() {
    TrendHistory history;
    history.AppendReading(1, kT0, 1, std::array{1.0f});
    history.AppendBreak(1, kT0 + kSecond);
    history.AppendReading(1, kT0 + 2 * kSecond, 1, std::array{2.0f});
    history.AppendReading(2, kT0 + kDay, 1, std::array{3.0f});
    // The clock set back: the reading keeps its slot's order.
    history.AppendReading(2, kT0 + kDay - kSecond, 1, std::array{4.0f});
    QCOMPARE(Shape(history.Readings(2)), QStringLiteral("86400:3 86400:4"));
    QCOMPARE(history.Oldest(), kT0);

    // Seven days after the first reading it is still kept; a moment later it goes, and the break
    // that followed it, in every slot.
    history.AppendReading(3, kT0 + kKeptFor, 1, std::array{5.0f});
    QCOMPARE(Shape(history.Readings(1)), QStringLiteral("0:1 | 2:2"));
    history.AppendReading(3, kT0 + kKeptFor + kSecond, 1, std::array{6.0f});
    QCOMPARE(Shape(history.Readings(1)), QStringLiteral("2:2"));
    QCOMPARE(history.Oldest(), kT0 + 2 * kSecond);
    QCOMPARE(history.Newest(), kT0 + kKeptFor + kSecond);

    // Readings are kept in chunks, their units where they change: dropping and finding work
    // across the boundaries of both.
    const auto count = static_cast<Milliseconds>(3 * SlotReadings::kChunkSize);
    const Milliseconds firstInKilopascal = SlotReadings::kChunkSize + 50;
    const Milliseconds sought = 2 * SlotReadings::kChunkSize + 7;
    for (Milliseconds i = 0; i < count; ++i) {
        const std::uint8_t unit = i < firstInKilopascal ? 0 : i < sought ? 2 : 1;
        history.AppendReading(4, kT0 + kKeptFor + i * kSecond, 1, std::array{static_cast<float>(i)},
                              Unit(unit));
    }
    const Milliseconds dropped = SlotReadings::kChunkSize + 100;
    history.AppendReading(5, kT0 + 2 * kKeptFor + dropped * kSecond, 1, std::array{0.0f});
    const SlotReadings& readings = history.Readings(4);
    QCOMPARE(readings.Size(), static_cast<std::size_t>(count - dropped));
    QCOMPARE(readings.At(0).values[0], static_cast<float>(dropped));
    QCOMPARE(readings.At(readings.Size() - 1).values[0], static_cast<float>(count - 1));
    const auto soughtAt = static_cast<std::size_t>(sought - dropped);
    QCOMPARE(readings.LowerBound(kT0 + kKeptFor + sought * kSecond - 1), soughtAt);
    QCOMPARE(readings.At(0).units[0], 2);
    QCOMPARE(readings.At(soughtAt - 1).units[0], 2);
    QCOMPARE(readings.At(soughtAt).units[0], 1);
    QCOMPARE(readings.At(readings.Size() - 1).units[0], 1);
}

void TrendModelTest::valueOfEachCommand_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("variable");
    QTest::addColumn<float>("expected");  // NaN: none
    const float none = std::numeric_limits<float>::quiet_NaN();
    // Values 10, 11, 12, ... in answer order.
    QTest::newRow("1, current: its pressure") << 1 << 0 << 10.0f;
    QTest::newRow("1, fourth: its pressure") << 1 << 4 << 10.0f;
    QTest::newRow("3, current") << 3 << 0 << 10.0f;
    QTest::newRow("3, first") << 3 << 1 << 11.0f;
    QTest::newRow("3, fourth") << 3 << 4 << 14.0f;
    QTest::newRow("33, current: none") << 33 << 0 << none;
    QTest::newRow("33, first") << 33 << 1 << 10.0f;
    QTest::newRow("33, fourth") << 33 << 4 << 13.0f;
    QTest::newRow("6, not polled: none") << 6 << 1 << none;
    QTest::newRow("unknown command: none") << 99 << 0 << none;
}

void TrendModelTest::valueOfEachCommand() {
    QFETCH(int, command);
    QFETCH(int, variable);
    QFETCH(float, expected);
    const Reading reading{kT0, {10, 11, 12, 13, 14}, static_cast<std::uint8_t>(command)};
    const std::optional<float> value = ValueOf(reading, static_cast<Variable>(variable));
    QCOMPARE(value.has_value(), !std::isnan(expected));
    if (value) {
        QCOMPARE(*value, expected);
    }
}

void TrendModelTest::quantityOfEachCommand_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("variable");
    QTest::addColumn<QString>("text");  // empty: none
    // Unit codes 0, 1, 2, 9 in answer order: the units dialog's list, and a code it lacks.
    QTest::newRow("1: kgf/cm2") << 1 << 1 << QStringLiteral("Давление, кгс/см2");
    QTest::newRow("3, current: mA") << 3 << 0 << QStringLiteral("Ток, мА");
    QTest::newRow("3, pressure: no unit") << 3 << 1 << QStringLiteral("Давление");
    QTest::newRow("3, Um: no unit") << 3 << 2 << QStringLiteral("Um");
    QTest::newRow("3, temperature: °C")
        << 3 << 4 << QStringLiteral("Температура микропроцессора, °C");
    QTest::newRow("33, first: kgf/cm2") << 33 << 1 << QStringLiteral("Переменная 1, кгс/см2");
    QTest::newRow("33, second: MPa") << 33 << 2 << QStringLiteral("Переменная 2, МПа");
    QTest::newRow("33, third: kPa") << 33 << 3 << QStringLiteral("Переменная 3, кПа");
    QTest::newRow("33, fourth: a code the list lacks")
        << 33 << 4 << QStringLiteral("Переменная 4, 9");
    QTest::newRow("33, current: none") << 33 << 0 << QString();
}

void TrendModelTest::quantityOfEachCommand() {
    QFETCH(int, command);
    QFETCH(int, variable);
    QFETCH(QString, text);
    const Quantity quantity = QuantityOf(static_cast<std::uint8_t>(command),
                                         static_cast<Variable>(variable), UnitCodes{0, 1, 2, 9});
    QCOMPARE(quantity.Text(), text);
}

void TrendModelTest::reductionKeepsEveryColumnsExtremes_data() {
    QTest::addColumn<int>("readings");
    QTest::addColumn<int>("columns");
    QTest::newRow("fewer readings than columns") << 50 << 200;
    QTest::newRow("a day at period 1 on 1000 columns") << 86400 << 1000;
    QTest::newRow("odd ratio") << 9973 << 317;
}

void TrendModelTest::reductionKeepsEveryColumnsExtremes() {
    QFETCH(int, readings);
    QFETCH(int, columns);
    std::mt19937 random(static_cast<unsigned>(readings));
    std::uniform_real_distribution<float> noise(-100, 100);
    QList<float> values(readings);
    std::generate(values.begin(), values.end(), [&] { return noise(random); });
    const TrendHistory history = HistoryOf(values);
    // The span leaves out the first and last ten readings; the one on each side is kept.
    const TimeSpan span{kT0 + 10 * kSecond, kT0 + (readings - 11) * kSecond};
    const ReducedLine line = ReduceLine(history.Readings(1), kFirst, span, columns, 64);
    QCOMPARE(line.runs.size(), 1u);
    QVERIFY(line.dots.isEmpty());
    const QList<QPointF>& run = line.runs.front();
    QVERIFY(run.size() <= 2 * (columns + 1) + 2);
    QVERIFY(std::is_sorted(run.begin(), run.end(),
                           [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));
    QCOMPARE(run.front(), QPointF(kT0 + 9 * kSecond, values[9]));
    QCOMPARE(run.back(), QPointF(kT0 + (readings - 10) * kSecond, values[readings - 10]));
    // Every column's lowest and highest reading is there.
    const double scale = columns / static_cast<double>(span.Length());
    std::map<long, std::pair<float, float>> extremes;
    for (int i = 10; i <= readings - 11; ++i) {
        const auto column =
            static_cast<long>(std::floor(static_cast<double>((i - 10) * kSecond) * scale));
        auto [it, first] = extremes.try_emplace(column, values[i], values[i]);
        it->second = {std::min(it->second.first, values[i]),
                      std::max(it->second.second, values[i])};
    }
    // Not a structured binding: clang before 16 cannot capture one in a lambda.
    for (const auto& entry : extremes) {
        const long column = entry.first;
        const std::pair<float, float> lowHigh = entry.second;
        QVERIFY2(std::any_of(run.begin(), run.end(),
                             [&](const QPointF& p) { return p.y() == lowHigh.first; }),
                 qPrintable(QStringLiteral("lowest of column %1").arg(column)));
        QVERIFY2(std::any_of(run.begin(), run.end(),
                             [&](const QPointF& p) { return p.y() == lowHigh.second; }),
                 qPrintable(QStringLiteral("highest of column %1").arg(column)));
    }
}

void TrendModelTest::reductionBreaks_data() {
    QTest::addColumn<QList<float>>("values");  // one a second; NaN: a break
    QTest::addColumn<int>("columns");          // over the 20 seconds from kT0
    QTest::addColumn<int>("maxRuns");
    QTest::addColumn<QString>("pieces");  // runs' values, "." before the dots
    const float b = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("unbroken") << QList<float>{1, 2, 3} << 20 << 8 << "1 2 3 .";
    QTest::newRow("silence leaves a gap")
        << QList<float>{1, 2, b, b, 5, 6} << 20 << 8 << "1 2 / 5 6 .";
    QTest::newRow("a lone reading is a dot")
        << QList<float>{1, 2, b, 4, b, 6, 7} << 20 << 8 << "1 2 / 6 7 . 4";
    QTest::newRow("no column left empty: no gap at this width")
        << QList<float>{1, 2, b, 4} << 10 << 8 << "1 2 4 .";
    QTest::newRow("too many pieces: all dots")
        << QList<float>{1, 2, b, 4, 5, b, 7, 8} << 20 << 1 << ". 1 2 4 5 7 8";
    QTest::newRow("an empty slot") << QList<float>{} << 20 << 8 << ".";
}

void TrendModelTest::reductionBreaks() {
    QFETCH(QList<float>, values);
    QFETCH(int, columns);
    QFETCH(int, maxRuns);
    QFETCH(QString, pieces);
    const ReducedLine line = ReduceLine(HistoryOf(values).Readings(1), kFirst,
                                        TimeSpan{kT0, kT0 + 20 * kSecond}, columns, maxRuns);
    const auto text = [](const QList<QPointF>& points) {
        QStringList values;
        for (const QPointF& point : points) {
            values << QString::number(point.y());
        }
        return values.join(u' ');
    };
    QStringList runs;
    for (const auto& run : line.runs) {
        runs << text(run);
    }
    QCOMPARE((runs.join(QStringLiteral(" / ")) + QStringLiteral(" . ") + text(line.dots)).trimmed(),
             pieces);
}

void TrendModelTest::shownSpan() {
    ShownSpan span;
    const Milliseconds now = kT0 + kDay;
    // Everything: an empty trend shows the last minute, a young one its first minute.
    QCOMPARE(span.Span(std::nullopt, std::nullopt, now).from, now - ShownSpan::kShortestWhole);
    QCOMPARE(span.Span(kT0, kT0 + 5 * kSecond, now).to, kT0 + ShownSpan::kShortestWhole);
    TimeSpan shown = span.Span(kT0, kT0 + 1000 * kSecond, now);
    QCOMPARE(shown.from, kT0);
    QCOMPARE(shown.to, kT0 + 1000 * kSecond);

    // Zooming in about the middle keeps the middle; the span follows the newest reading while it
    // is in view, and stays once panned away from it.
    span.Zoom(shown, 0.5, kT0 + 500 * kSecond);
    shown = span.Span(kT0, kT0 + 1000 * kSecond, now);
    QCOMPARE(shown.from, kT0 + 250 * kSecond);
    QCOMPARE(shown.to, kT0 + 750 * kSecond);
    span.Follow(kT0 + 1000 * kSecond, kT0 + 1001 * kSecond);
    QCOMPARE(span.Span(kT0, kT0 + 1001 * kSecond, now).to, kT0 + 750 * kSecond);
    span.Pan(shown, 250 * kSecond);
    span.Follow(kT0 + 1000 * kSecond, kT0 + 1010 * kSecond);
    shown = span.Span(kT0, kT0 + 1010 * kSecond, now);
    QCOMPARE(shown.from, kT0 + 510 * kSecond);
    QCOMPARE(shown.to, kT0 + 1010 * kSecond);
    QVERIFY(!span.ShowsEverything());

    // Zooming stops at a second and at a little over the days kept.
    span.Zoom(shown, 1e-6, shown.from);
    QCOMPARE(span.Span(kT0, kT0, now).Length(), ShownSpan::kShortestZoom);
    span.Zoom(shown, 1e6, shown.from);
    QCOMPARE(span.Span(kT0, kT0, now).Length(), ShownSpan::kLongestZoom);
    span.ShowEverything();
    QCOMPARE(span.Span(kT0, kT0 + 1010 * kSecond, now).from, kT0);
}

void TrendModelTest::csvText_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("point");
    QTest::newRow("decimal point") << QLocale::c() << ","
                                   << ".";
    QTest::newRow("decimal comma") << QLocale(QLocale::Russian) << ";"
                                   << ",";
}

void TrendModelTest::csvText() {
    QFETCH(QLocale, locale);
    QFETCH(QString, separator);
    QFETCH(QString, point);
    // Slot 7 reads its pressure with command 1, which names its unit; slot 2 with command 3,
    // which does not.
    TrendHistory history;
    history.AppendReading(7, kT0 + 5, 1, std::array{0.1f}, Unit(1));
    history.AppendReading(7, kT0 + 6, 1, std::array{100.0f}, Unit(9));
    history.AppendReading(2, kT0 + 2, 3, std::array{9.0f, 101.325f, 2.0f, 3.0f, 4.0f});
    history.AppendBreak(2, kT0 + 3);
    history.AppendReading(2, kT0 + 1000, 3, std::array{9.0f, -1.5e-7f, 2.0f, 3.0f, 4.0f});
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(WriteCsv(buffer, history, kFirst, locale));
    QVERIFY(buffer.data().startsWith("\xEF\xBB\xBF"));
    const auto time = [](Milliseconds ms) {
        return QDateTime::fromMSecsSinceEpoch(ms).toString(
            QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    };
    const auto line = [&separator](const QStringList& fields) { return fields.join(separator); };
    // The readings of all slots, oldest first; the shortest text that reads back as the float.
    const QStringList expected{
        line({QStringLiteral("Время"), QStringLiteral("Датчик"), QStringLiteral("Адрес"),
              QStringLiteral("Значение"), QStringLiteral("Единица")}),
        line({time(kT0 + 2), "2", "2", "101" + point + "325", ""}),
        line({time(kT0 + 5), "7", "7", "0" + point + "1", QStringLiteral("МПа")}),
        line({time(kT0 + 6), "7", "7", "100", "9"}),
        line({time(kT0 + 1000), "2", "2", "-1" + point + "5e-07", ""}),
        QString(),
    };
    QCOMPARE(QString::fromUtf8(buffer.data().mid(3)).split(QStringLiteral("\r\n")), expected);
}

// The times are the workstation's clock; the text of each minute is looked up once, so a day or
// an hour that begins between two readings must still show in the next one. Central European
// time: summer time began on 29.03.2026 at 01:00 UTC and ended on 25.10.2026 at 01:00 UTC.
void TrendModelTest::csvTimesAcrossMidnightAndClockChanges() {
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const auto restore = qScopeGuard([&zone] {
        zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
        tzset();
    });
    const auto utc = [](const char* text) {
        return QDateTime::fromString(QLatin1String(text), Qt::ISODateWithMs).toMSecsSinceEpoch();
    };
    if (QDateTime::fromMSecsSinceEpoch(utc("2026-03-29T01:00:00.000Z")).offsetFromUtc() != 7200) {
        QSKIP("the clock's zone cannot be set here");
    }
    using Readings = std::vector<std::pair<const char*, QString>>;
    // The trend keeps seven days: spring and autumn each in a trend of its own.
    for (const Readings& readings : {
             Readings{{"2026-03-28T22:59:59.900Z", QStringLiteral("2026-03-28 23:59:59.900")},
                      {"2026-03-28T23:00:00.100Z", QStringLiteral("2026-03-29 00:00:00.100")},
                      {"2026-03-29T00:59:59.500Z", QStringLiteral("2026-03-29 01:59:59.500")},
                      {"2026-03-29T01:00:00.250Z", QStringLiteral("2026-03-29 03:00:00.250")}},
             Readings{{"2026-10-25T00:59:59.999Z", QStringLiteral("2026-10-25 02:59:59.999")},
                      {"2026-10-25T01:00:00.000Z", QStringLiteral("2026-10-25 02:00:00.000")}},
         }) {
        TrendHistory history;
        QStringList expected;
        for (const auto& [time, text] : readings) {
            history.AppendReading(1, utc(time), 1, std::array{1.0f});
            expected << text;
        }
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(WriteCsv(buffer, history, kFirst, QLocale::c()));
        QStringList times;
        for (const QString& line :
             QString::fromUtf8(buffer.data()).split(QStringLiteral("\r\n")).mid(1)) {
            if (!line.isEmpty()) {
                times << line.section(u',', 0, 0);
            }
        }
        QCOMPARE(times, expected);
    }
}

// A save that fails after writing part of the file leaves the file of that name as it was, and
// nothing else behind.
void TrendModelTest::failedSaveKeepsTheOldFile() {
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("trend.csv"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("the readings saved before\r\n");
    old.close();
    const QString reason = SaveFile(path, [](QIODevice& device) {
        device.write(QByteArray(100'000, 'x'));
        return false;
    });
    QVERIFY(!reason.isEmpty());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the readings saved before\r\n"));
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files),
             QStringList{QStringLiteral("trend.csv")});
}

QTEST_GUILESS_MAIN(TrendModelTest)
#include "trend_model_test.moc"
