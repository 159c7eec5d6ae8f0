#include "trend/trend_export.h"

#include <QDateTime>
#include <QSaveFile>
#include <array>
#include <charconv>

namespace trend {
namespace {

constexpr qsizetype kChunk = 1 << 16;

// "yyyy-MM-dd HH:mm:ss.zzz" on the workstation's clock; the date and time of a second are
// looked up once for all readings within it.
class TimeTexts {
public:
    QByteArray Of(Milliseconds time) {
        const Milliseconds second = time / 1000 - (time % 1000 < 0 ? 1 : 0);
        if (second != second_ || secondText_.isEmpty()) {
            second_ = second;
            secondText_ = QDateTime::fromMSecsSinceEpoch(second * 1000)
                              .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss."))
                              .toUtf8();
        }
        const auto millisecond = static_cast<int>(time - second * 1000);
        return secondText_ + QByteArray::number(millisecond).rightJustified(3, '0');
    }

private:
    Milliseconds second_ = 0;
    QByteArray secondText_;
};

// The shortest text that reads back as the same float, with the locale's decimal separator.
QByteArray ValueText(float value, const QByteArray& decimalPoint) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    QByteArray text(buffer.data(), end - buffer.data());
    return text.replace('.', decimalPoint);
}

// The slot whose next reading is the oldest, advancing past breaks; 0 when none is left.
int NextSlot(const TrendSeries& series, std::array<std::size_t, hart::kSlotCount + 1>& next) {
    int oldest = 0;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        const auto& entries = series.Entries(slot);
        while (next[slot] < entries.size() && entries[next[slot]].IsBreak()) {
            ++next[slot];
        }
        if (next[slot] < entries.size() &&
            (oldest == 0 || entries[next[slot]].time < series.Entries(oldest)[next[oldest]].time)) {
            oldest = slot;
        }
    }
    return oldest;
}

}  // namespace

bool WriteCsv(QIODevice& device, const TrendSeries& series, Variable variable,
              const QLocale& locale) {
    const QByteArray decimalPoint = locale.decimalPoint().toUtf8();
    const QByteArray separator = decimalPoint == "," ? ";" : ",";
    // The byte-order mark tells spreadsheets the text is UTF-8.
    QByteArray text = "\xEF\xBB\xBF" + QStringLiteral("Время%1Датчик%1Адрес%1Значение\r\n")
                                           .arg(QString::fromUtf8(separator))
                                           .toUtf8();
    TimeTexts times;
    std::array<std::size_t, hart::kSlotCount + 1> next{};
    for (int slot = NextSlot(series, next); slot != 0; slot = NextSlot(series, next)) {
        const Sample& sample = series.Entries(slot)[next[slot]++];
        const std::optional<float> value = ValueOf(sample, variable);
        if (!value) {
            continue;
        }
        // A slot is the transmitter at its poll address.
        const QByteArray number = QByteArray::number(slot);
        text += times.Of(sample.time) + separator + number + separator + number + separator +
                ValueText(*value, decimalPoint) + "\r\n";
        if (text.size() >= kChunk) {
            if (device.write(text) != text.size()) {
                return false;
            }
            text.clear();
        }
    }
    return device.write(text) == text.size();
}

bool WritePng(QIODevice& device, const QImage& image) {
    return image.save(&device, "PNG");
}

QString SaveFile(const QString& path, const std::function<bool(QIODevice&)>& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (!write(file)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

}  // namespace trend
