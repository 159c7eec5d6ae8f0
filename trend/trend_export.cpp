#include "trend/trend_export.h"

#include <QDateTime>
#include <array>
#include <charconv>

#include "trend/quantity.h"
#include "ui/file_saving.h"

namespace trend {
namespace {

constexpr qsizetype kChunk = 1 << 16;

// Appends "yyyy-MM-dd HH:mm:ss.zzz" on the workstation's clock. Date, hour and minute are looked
// up once a minute (local time is whole minutes off UTC); seconds and milliseconds are counted.
class TimeTexts {
public:
    void Append(QByteArray& text, Milliseconds time) {
        constexpr Milliseconds kMinute = 60 * 1000;
        const Milliseconds minute = time / kMinute - (time % kMinute < 0 ? 1 : 0);
        if (minute != minute_ || minuteText_.isEmpty()) {
            minute_ = minute;
            minuteText_ = QDateTime::fromMSecsSinceEpoch(minute * kMinute)
                              .toString(QStringLiteral("yyyy-MM-dd HH:mm:"))
                              .toUtf8();
        }
        const auto within = static_cast<int>(time - minute * kMinute);
        const int second = within / 1000;
        const int millisecond = within % 1000;
        const char digits[] = {static_cast<char>('0' + second / 10),
                               static_cast<char>('0' + second % 10),
                               '.',
                               static_cast<char>('0' + millisecond / 100),
                               static_cast<char>('0' + millisecond / 10 % 10),
                               static_cast<char>('0' + millisecond % 10)};
        text.append(minuteText_).append(digits, sizeof digits);
    }

private:
    Milliseconds minute_ = 0;
    QByteArray minuteText_;
};

// Appends the shortest text that reads back as the same float, with the locale's decimal
// separator.
void AppendValue(QByteArray& text, float value, const QByteArray& decimalPoint) {
    std::array<char, 32> buffer{};
    const char* const end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    for (const char* c = buffer.data(); c != end; ++c) {
        *c == '.' ? text.append(decimalPoint) : text.append(*c);
    }
}

// The unit field of each slot's readings, named again only where the command or the unit codes
// change.
class UnitFields {
public:
    explicit UnitFields(Variable variable) : variable_(variable) {}

    const QByteArray& Of(int slot, const Reading& reading) {
        Known& known = slots_[static_cast<std::size_t>(slot)];
        if (!known.field || known.command != reading.command || known.units != reading.units) {
            known = {reading.command, reading.units,
                     QuantityOf(reading.command, variable_, reading.units).unit.toUtf8()};
        }
        return *known.field;
    }

private:
    struct Known {
        std::uint8_t command = 0;
        UnitCodes units{};
        std::optional<QByteArray> field;
    };

    Variable variable_;
    std::array<Known, hart::kSlotCount + 1> slots_;
};

// The slot whose next reading is the oldest, advancing past breaks; 0 when none is left.
int NextSlot(const TrendHistory& history, std::array<std::size_t, hart::kSlotCount + 1>& next) {
    int oldest = 0;
    Milliseconds oldestTime = 0;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        const SlotReadings& readings = history.Readings(slot);
        while (next[slot] < readings.Size() && readings.IsBreak(next[slot])) {
            ++next[slot];
        }
        if (next[slot] < readings.Size() &&
            (oldest == 0 || readings.Time(next[slot]) < oldestTime)) {
            oldest = slot;
            oldestTime = readings.Time(next[slot]);
        }
    }
    return oldest;
}

}  // namespace

bool WriteCsv(QIODevice& device, const TrendHistory& history, Variable variable,
              const QLocale& locale) {
    const CsvFormat format(locale);
    const QByteArray& decimalPoint = format.decimalPoint;
    const QByteArray& separator = format.separator;
    QByteArray text =
        kUtf8ByteOrderMark +
        CsvLine({QStringLiteral("Время"), QStringLiteral("Датчик"), QStringLiteral("Адрес"),
                 QStringLiteral("Значение"), QStringLiteral("Единица")},
                format);
    text.reserve(kChunk + 256);
    TimeTexts times;
    UnitFields units(variable);
    // A slot is the transmitter at its poll address.
    std::array<QByteArray, hart::kSlotCount + 1> slotFields;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        const QByteArray number = QByteArray::number(slot);
        slotFields[slot] = separator + number + separator + number + separator;
    }
    std::array<std::size_t, hart::kSlotCount + 1> next{};
    for (int slot = NextSlot(history, next); slot != 0; slot = NextSlot(history, next)) {
        const Reading reading = history.Readings(slot).At(next[slot]++);
        const std::optional<float> value = ValueOf(reading, variable);
        if (!value) {
            continue;
        }
        times.Append(text, reading.time);
        text.append(slotFields[slot]);
        AppendValue(text, *value, decimalPoint);
        text.append(separator).append(units.Of(slot, reading)).append("\r\n");
        if (text.size() >= kChunk) {
            if (device.write(text) != text.size()) {
                return false;
            }
            text.resize(0);  // keeps the capacity
        }
    }
    return device.write(text) == text.size();
}

bool WritePng(QIODevice& device, const QImage& image) {
    return image.save(&device, "PNG");
}

}  // namespace trend
