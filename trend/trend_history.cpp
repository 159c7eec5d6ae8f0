#include "trend/trend_history.h"

#include <algorithm>
#include <limits>

namespace trend {

void TrendHistory::Clear() {
    for (auto& readings : slots_) {
        readings.Clear();
    }
    newest_.reset();
    newestCommand_ = 0;
}

void TrendHistory::AppendReading(int slot, Milliseconds time, std::uint8_t command,
                                 std::span<const float> values,
                                 std::span<const std::uint8_t> units) {
    Reading reading{InOrder(slot, time), {}, command};
    reading.values.fill(std::numeric_limits<float>::quiet_NaN());
    std::copy_n(values.begin(), std::min<std::size_t>(values.size(), kMaxValues),
                reading.values.begin());
    std::copy_n(units.begin(), std::min<std::size_t>(units.size(), kMaxValues),
                reading.units.begin());
    slots_.at(slot).PushBack(reading);
    newest_ = std::max(newest_.value_or(reading.time), reading.time);
    newestCommand_ = command;
    DropOlderThanKept();
}

void TrendHistory::AppendBreak(int slot, Milliseconds time) {
    auto& readings = slots_.at(slot);
    if (readings.Empty() || readings.IsBreak(readings.Size() - 1)) {
        return;
    }
    readings.PushBack(Reading{InOrder(slot, time), {}, 0});
}

std::optional<Reading> TrendHistory::NewestReading(int slot) const {
    const SlotReadings& readings = Readings(slot);
    if (readings.Empty()) {
        return std::nullopt;
    }
    // Two breaks never follow each other, and a break never comes first.
    const std::size_t last = readings.Size() - 1;
    return readings.At(readings.IsBreak(last) ? last - 1 : last);
}

std::optional<Milliseconds> TrendHistory::Oldest() const {
    // A slot's readings never begin with a break.
    std::optional<Milliseconds> oldest;
    for (const auto& readings : slots_) {
        if (!readings.Empty()) {
            oldest = std::min(oldest.value_or(readings.Time(0)), readings.Time(0));
        }
    }
    return oldest;
}

Milliseconds TrendHistory::InOrder(int slot, Milliseconds time) const {
    const auto& readings = slots_.at(slot);
    return readings.Empty() ? time : std::max(time, readings.Time(readings.Size() - 1));
}

void TrendHistory::DropOlderThanKept() {
    const Milliseconds limit = *newest_ - kKeptFor;
    for (auto& readings : slots_) {
        while (!readings.Empty() && (readings.Time(0) < limit || readings.IsBreak(0))) {
            readings.PopFront();
        }
    }
}

}  // namespace trend
