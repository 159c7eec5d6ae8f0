#include "trend/slot_entries.h"

#include <algorithm>

namespace trend {

Sample SlotEntries::At(std::size_t index) const {
    const auto [chunk, position] = Locate(index);
    Sample sample{chunk->times[position], {}, chunk->commands[position]};
    for (std::size_t value = 0; value < sample.values.size(); ++value) {
        sample.values[value] = chunk->values[value][position];
    }
    return sample;
}

std::size_t SlotEntries::LowerBound(Milliseconds time) const {
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

void SlotEntries::PushBack(const Sample& sample) {
    const std::size_t position = front_ + size_;
    if (position == chunks_.size() * kChunkSize) {
        // Left uninitialised: every field of an entry is written before it is read.
        chunks_.push_back(std::make_unique_for_overwrite<Chunk>());
    }
    Chunk& chunk = *chunks_[position / kChunkSize];
    const std::size_t at = position % kChunkSize;
    chunk.times[at] = sample.time;
    chunk.commands[at] = sample.command;
    for (std::size_t value = 0; value < sample.values.size(); ++value) {
        chunk.values[value][at] = sample.values[value];
    }
    ++size_;
}

void SlotEntries::PopFront() {
    --size_;
    if (++front_ == kChunkSize || size_ == 0) {
        chunks_.pop_front();
        front_ = 0;
    }
}

void SlotEntries::Clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    front_ = 0;
    size_ = 0;
}

}  // namespace trend
