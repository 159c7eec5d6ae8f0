#include "trend/trend_series.h"

#include <algorithm>
#include <limits>

namespace trend {

std::optional<float> ValueOf(const Sample& sample, Variable variable) {
    const auto index = static_cast<int>(variable);
    switch (sample.command) {
        case 1:
            return sample.values[0];
        case 3:
            return sample.values[index];
        case 33:
            if (variable == Variable::Current) {
                return std::nullopt;
            }
            return sample.values[index - 1];
        default:
            return std::nullopt;
    }
}

void TrendSeries::Clear() {
    for (auto& entries : slots_) {
        entries.clear();
        entries.shrink_to_fit();
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
    slots_.at(slot).push_back(sample);
    newest_ = std::max(newest_.value_or(sample.time), sample.time);
    newestCommand_ = command;
    DropOlderThanKept();
}

void TrendSeries::AppendBreak(int slot, Milliseconds time) {
    auto& entries = slots_.at(slot);
    if (entries.empty() || entries.back().IsBreak()) {
        return;
    }
    entries.push_back(Sample{InOrder(slot, time), {}, 0});
}

std::optional<Milliseconds> TrendSeries::Oldest() const {
    // A slot's entries never begin with a break.
    std::optional<Milliseconds> oldest;
    for (const auto& entries : slots_) {
        if (!entries.empty()) {
            oldest = std::min(oldest.value_or(entries.front().time), entries.front().time);
        }
    }
    return oldest;
}

Milliseconds TrendSeries::InOrder(int slot, Milliseconds time) const {
    const auto& entries = slots_.at(slot);
    return entries.empty() ? time : std::max(time, entries.back().time);
}

void TrendSeries::DropOlderThanKept() {
    const Milliseconds limit = *newest_ - kKeptFor;
    for (auto& entries : slots_) {
        while (!entries.empty() && (entries.front().time < limit || entries.front().IsBreak())) {
            entries.pop_front();
        }
    }
}

}  // namespace trend
