#pragma once
// One slot's readings in time order, oldest first. They are kept in chunks of a fixed count, and
// within a chunk each field (time, command, each value) in an array of its own: appending and
// dropping the oldest reading are constant-time, and reading one value over a day reads only the
// memory of that value, the times and the commands.

#include <algorithm>
#include <array>
#include <cstddef>
#include <deque>
#include <memory>
#include <utility>

#include "trend/reading.h"

namespace trend {

class SlotReadings {
public:
    static constexpr std::size_t kChunkSize = 4096;

    struct Chunk {
        std::array<Milliseconds, kChunkSize> times;
        std::array<std::uint8_t, kChunkSize> commands;
        std::array<std::array<float, kChunkSize>, Reading::kMaxValues> values;
    };

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    Reading At(std::size_t index) const;
    Milliseconds Time(std::size_t index) const {
        const auto [chunk, position] = Locate(index);
        return chunk->times[position];
    }
    bool IsBreak(std::size_t index) const {
        const auto [chunk, position] = Locate(index);
        return chunk->commands[position] == 0;
    }
    // The first reading at or after `time`.
    std::size_t LowerBound(Milliseconds time) const;

    void PushBack(const Reading& reading);
    void PopFront();
    void Clear();

    // Calls `visit(chunk, begin, end)` for the parts of chunks that hold readings [first, last).
    template <typename Visit>
    void ForEachPart(std::size_t first, std::size_t last, Visit visit) const {
        while (first < last) {
            const auto [chunk, position] = Locate(first);
            const std::size_t end = std::min(kChunkSize, position + (last - first));
            visit(*chunk, position, end);
            first += end - position;
        }
    }

private:
    std::pair<const Chunk*, std::size_t> Locate(std::size_t index) const {
        const std::size_t position = front_ + index;
        return {chunks_[position / kChunkSize].get(), position % kChunkSize};
    }

    std::deque<std::unique_ptr<Chunk>> chunks_;
    std::size_t front_ = 0;  // position of the oldest reading in the first chunk
    std::size_t size_ = 0;
};

}  // namespace trend
