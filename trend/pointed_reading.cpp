#include "trend/pointed_reading.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>
#include <limits>

#include "hart/time_text.h"
#include "trend/quantity.h"

namespace trend {

QPointF PlotFrame::PixelOf(Milliseconds time, double value) const {
    const double across = static_cast<double>(time - span.from) /
                          static_cast<double>(std::max<Milliseconds>(span.Length(), 1));
    const double up = high > low ? (value - low) / (high - low) : 0.5;
    return {area.left() + across * area.width(), area.bottom() - up * area.height()};
}

std::optional<PointedReading> ReadingNear(const TrendHistory& history, const DrawnSlots& drawn,
                                          Variable variable, const PlotFrame& frame, QPointF at,
                                          double radius) {
    if (frame.area.width() <= 0 || frame.span.Length() <= 0) {
        return std::nullopt;
    }
    // Only the readings within `radius` pixels of `at` across the time axis can be near enough.
    const double perPixel = static_cast<double>(frame.span.Length()) / frame.area.width();
    const double atTime =
        static_cast<double>(frame.span.from) + (at.x() - frame.area.left()) * perPixel;
    const auto from = static_cast<Milliseconds>(std::floor(atTime - radius * perPixel));
    const auto to = static_cast<Milliseconds>(std::ceil(atTime + radius * perPixel));
    double nearest = radius * radius;
    std::optional<std::pair<int, std::size_t>> found;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        if (!drawn[static_cast<std::size_t>(slot)]) {
            continue;
        }
        const SlotReadings& readings = history.Readings(slot);
        readings.ForEachValue(
            readings.LowerBound(from), readings.LowerBound(to + 1), variable,
            [&](std::size_t index, Milliseconds time, float value) {
                const QPointF away = frame.PixelOf(time, value) - at;
                const double distance = QPointF::dotProduct(away, away);
                if (distance <= nearest) {
                    nearest = distance;
                    found = {slot, index};
                }
            },
            [] {});
    }
    if (!found) {
        return std::nullopt;
    }
    return PointedReading{found->first, history.Readings(found->first).At(found->second)};
}

QString PointedText(const PointedReading& pointed, Variable variable) {
    const Reading& reading = pointed.reading;
    const Quantity quantity = QuantityOf(reading.command, variable, reading.units);
    const std::optional<float> value = ValueOf(reading, variable);
    QString valueText = QLocale::system().toString(value.value_or(0), 'g', 7);
    if (!quantity.unit.isEmpty()) {
        valueText += u' ' + quantity.unit;
    }
    // A slot is the transmitter at its poll address.
    return QStringLiteral("Датчик №%1, адрес %1\n%2\n%3: %4")
        .arg(pointed.slot)
        .arg(TimeAndDateText(QDateTime::fromMSecsSinceEpoch(reading.time)), quantity.name,
             valueText);
}

}  // namespace trend
