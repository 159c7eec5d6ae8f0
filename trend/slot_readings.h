#pragma once
// One slot's readings in time order, oldest first. They are kept in chunks of a fixed count, and
// within a chunk each field (time, command, each value) in an array of its own: appending and
// dropping the oldest reading are constant-time, and reading one value over a day reads only the
// memory of that value, the times and the commands. The unit codes, which change seldom if ever,
// are kept where they change rather than with every reading.

#include <algorithm>
#include <array>
#include <cmath>
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
        std::array<std::array<float, kChunkSize>, kMaxValues> values;
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

    // Calls `visit(index, time, value)` for the value `variable` picks from each reading of
    // [first, last) that has a finite one, and `broken()` for each break among them.
    template <typename Visit, typename Broken>
    void ForEachValue(std::size_t first, std::size_t last, Variable variable, Visit visit,
                      Broken broken) const {
        // The value's place is looked up again only where the command changes.
        std::uint8_t command = 0;
        std::optional<int> valueAt;
        std::size_t index = first;
        ForEachPart(first, last, [&](const Chunk& chunk, std::size_t begin, std::size_t end) {
            for (std::size_t at = begin; at < end; ++at, ++index) {
                if (chunk.commands[at] == 0) {
                    broken();
                    continue;
                }
                if (chunk.commands[at] != command) {
                    command = chunk.commands[at];
                    valueAt = ValueIndex(command, variable);
                }
                if (!valueAt) {
                    continue;
                }
                const float value = chunk.values[static_cast<std::size_t>(*valueAt)][at];
                if (std::isfinite(value)) {
                    visit(index, chunk.times[at], value);
                }
            }
        });
    }

private:
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

    std::pair<const Chunk*, std::size_t> Locate(std::size_t index) const {
        const std::size_t position = front_ + index;
        return {chunks_[position / kChunkSize].get(), position % kChunkSize};
    }

    // The unit codes of the readings from the `first`th appended since the last Clear() on.
    struct UnitsFrom {
        std::uint64_t first;
        UnitCodes units;
    };

    const UnitCodes& UnitsAt(std::size_t index) const;

    std::deque<std::unique_ptr<Chunk>> chunks_;
    std::size_t front_ = 0;  // position of the oldest reading in the first chunk
    std::size_t size_ = 0;
    std::uint64_t dropped_ = 0;    // readings dropped from the front since the last Clear()
    std::deque<UnitsFrom> units_;  // the first holds for the oldest reading
};

}  // namespace trend
