#include "trend/trend_series.h"

#include <algorithm>
#include <limits>

namespace trend {

void TrendSeries::Clear() {
    for (auto& entries : slots_) {
        entries.Clear();
    }
    newest_.reset();
    newestCommand_ = 0;
}

void TrendSeries::AppendReading(int slot, Milliseconds time, std::uint8_t command,
                                std::span<const float> values) {
    Sample sample{InOrder(slot, time), {}, command};
    sample.values.fill(std::numeric_limits<float>::quiet_NaN());
    std::copy_n(values.begin(), std::min<std::size_t>(values.size(), Sample::kMaxValues),
                sample.values.begin());
    slots_.at(slot).PushBack(sample);
    newest_ = std::max(newest_.value_or(sample.time), sample.time);
    newestCommand_ = command;
    DropOlderThanKept();
}

void TrendSeries::AppendBreak(int slot, Milliseconds time) {
    auto& entries = slots_.at(slot);
    if (entries.Empty() || entries.IsBreak(entries.Size() - 1)) {
        return;
    }
    entries.PushBack(Sample{InOrder(slot, time), {}, 0});
}

std::optional<Milliseconds> TrendSeries::Oldest() const {
    // A slot's entries never begin with a break.
    std::optional<Milliseconds> oldest;
    for (const auto& entries : slots_) {
        if (!entries.Empty()) {
            oldest = std::min(oldest.value_or(entries.Time(0)), entries.Time(0));
        }
    }
    return oldest;
}

Milliseconds TrendSeries::InOrder(int slot, Milliseconds time) const {
    const auto& entries = slots_.at(slot);
    return entries.Empty() ? time : std::max(time, entries.Time(entries.Size() - 1));
}

void TrendSeries::DropOlderThanKept() {
    const Milliseconds limit = *newest_ - kKeptFor;
    for (auto& entries : slots_) {
        while (!entries.Empty() && (entries.Time(0) < limit || entries.IsBreak(0))) {
            entries.PopFront();
        }
    }
}

}  // namespace trend
