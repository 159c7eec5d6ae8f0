#include "trend/slot_readings.h"

#include <algorithm>

namespace trend {

Reading SlotReadings::At(std::size_t index) const {
    const auto [chunk, position] = Locate(index);
    Reading reading{chunk->times[position], {}, chunk->commands[position], UnitsAt(index)};
    for (std::size_t value = 0; value < reading.values.size(); ++value) {
        reading.values[value] = chunk->values[value][position];
    }
    return reading;
}

std::size_t SlotReadings::LowerBound(Milliseconds time) const {
    std::size_t first = 0;
    std::size_t count = size_;
    while (count > 0) {
        const std::size_t half = count / 2;
        if (Time(first + half) < time) {
            first += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    return first;
}

void SlotReadings::PushBack(const Reading& reading) {
    const std::size_t position = front_ + size_;
    if (position == chunks_.size() * kChunkSize) {
        // Left uninitialised: every field of a reading is written before it is read.
        chunks_.push_back(std::make_unique_for_overwrite<Chunk>());
    }
    Chunk& chunk = *chunks_[position / kChunkSize];
    const std::size_t at = position % kChunkSize;
    if (!reading.IsBreak() && (units_.empty() || units_.back().units != reading.units)) {
        units_.push_back({dropped_ + size_, reading.units});
    }
    chunk.times[at] = reading.time;
    chunk.commands[at] = reading.command;
    for (std::size_t value = 0; value < reading.values.size(); ++value) {
        chunk.values[value][at] = reading.values[value];
    }
    ++size_;
}

void SlotReadings::PopFront() {
    --size_;
    ++dropped_;
    while (units_.size() > 1 && units_[1].first <= dropped_) {
        units_.pop_front();
    }
    if (++front_ == kChunkSize || size_ == 0) {
        chunks_.pop_front();
        front_ = 0;
    }
}

void SlotReadings::Clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    front_ = 0;
    size_ = 0;
    dropped_ = 0;
    units_.clear();
}

const UnitCodes& SlotReadings::UnitsAt(std::size_t index) const {
    const std::uint64_t sought = dropped_ + index;
    const auto after = std::upper_bound(
        units_.begin(), units_.end(), sought,
        [](std::uint64_t appended, const UnitsFrom& from) { return appended < from.first; });
    static constexpr UnitCodes kNone{};
    // Only a break before every reading has none.
    return after == units_.begin() ? kNone : std::prev(after)->units;
}

}  // namespace trend
